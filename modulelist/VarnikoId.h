/* The identifiers of Varniko that are no GUIDs, in the one place that both
 * the type library and the C++ code read them from: Varniko.idl includes
 * this file for the members' dispatch identifiers (widl's preprocessor sees
 * the defines only), and the header widl generates from it includes it
 * again for the C++ code, which sees the constants below too.
 *
 * The GUIDs are the IDL's own (uuid attributes); the generated header
 * declares them as LIBID_Varniko, IID__clsModuli and CLSID_clsModuli. */
#ifndef VARNIKO_VARNIKOID_H
#define VARNIKO_VARNIKOID_H

/* Dispatch identifiers of _clsModuli's members. */
#define VARNIKO_DISPID_CARTELLADATIQUANDORA 0x40030000
#define VARNIKO_DISPID_GETCARTELLAQUANDORA 0x60030000
#define VARNIKO_DISPID_GETCARTELLADATIQUANDORA 0x60030001
#define VARNIKO_DISPID_AGGIUNGIMODULO 0x60030002
#define VARNIKO_DISPID_GETLISTAMODULO 0x60030003

#if defined(__cplusplus) && !defined(__WIDL__)
#include <windows.h>

#include <oaidl.h>

namespace varniko {

inline constexpr const char* kProgId = "Varniko.clsModuli";

inline constexpr DISPID DISPID_CartellaDatiQuandora = VARNIKO_DISPID_CARTELLADATIQUANDORA;
inline constexpr DISPID DISPID_GetCartellaQuandora = VARNIKO_DISPID_GETCARTELLAQUANDORA;
inline constexpr DISPID DISPID_GetCartellaDatiQuandora = VARNIKO_DISPID_GETCARTELLADATIQUANDORA;
inline constexpr DISPID DISPID_AggiungiModulo = VARNIKO_DISPID_AGGIUNGIMODULO;
inline constexpr DISPID DISPID_GetListaModulo = VARNIKO_DISPID_GETLISTAMODULO;

}  // namespace varniko
#endif

#endif
