#pragma once
// The clock of the waits that count whole seconds (WaitSecondi): the time
// of day in seconds since midnight. The program uses the system clock; a
// test installs its own to cross midnight without waiting for it.

namespace quandora {

class Orologio {
  public:
    virtual ~Orologio() = default;
    // Seconds since midnight, local time, with their fraction.
    virtual double SecondiDelGiorno() = 0;
};

// The process's current clock (the system clock unless a test installed
// another).
Orologio& OrologioAttivo();

// Installs another clock (nullptr goes back to the system clock) and
// returns the previous one. The caller keeps ownership.
Orologio* ImpostaOrologio(Orologio* nuovo);

}  // namespace quandora
