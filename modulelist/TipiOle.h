/* The header that the generated Varniko.h includes for TipiOle.idl, which
 * it imports. TipiOle.idl declares the automation types for widl alone (the
 * toolchain ships no .idl files); C++ code has the real declarations of the
 * Windows headers, which the generated header has included already
 * (windows.h, ole2.h). So this one declares nothing. */
#ifndef VARNIKO_TIPIOLE_H
#define VARNIKO_TIPIOLE_H
#include <oaidl.h>
#endif
