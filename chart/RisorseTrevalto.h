#pragma once
// Identifiers of Trevalto's resources (icons and manifest), shared by the
// resource script and the window's code.

#define IDI_TREVALTO 1
#define IDI_NUOVO 101
#define IDI_APRI 102
#define IDI_SALVA 103
#define IDI_APPUNTI 104
#define IDI_ANNULLA 105
#define IDI_IMMAGINE 106
#define IDI_STAMPANTE 107
#define IDI_GUIDA 108
#define IDI_ELABORA 109
#define IDI_INTERROMPI 110

// The toolbar's images for disabled buttons: the image's identifier plus
// IDI_GRIGIO.
#define IDI_GRIGIO 20
#define IDI_NUOVO_GRIGIO 121
#define IDI_APRI_GRIGIO 122
#define IDI_SALVA_GRIGIO 123
#define IDI_APPUNTI_GRIGIO 124
#define IDI_ANNULLA_GRIGIO 125
#define IDI_IMMAGINE_GRIGIO 126
#define IDI_STAMPANTE_GRIGIO 127
#define IDI_GUIDA_GRIGIO 128
