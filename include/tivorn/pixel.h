/* The pixel word and its helpers.
   A pixel word is 32 bits: red in bits 0-7, green 8-15, blue 16-23, alpha 24-31
   (alpha 255 = opaque). Pictures are arrays of such words, bottom row first. */
#ifndef TIVORN_PIXEL_H
#define TIVORN_PIXEL_H

#include "types.h"

#ifdef __cplusplus
extern "C" {
#endif

/* The helpers, from tvnGetRValue to tvnSwapRB: declared from
   tivorn/c_functions.inc, the one list of the C interface's functions, each with
   its parameters and what it does. */
#define TVN_FUNCTION(header, availability, result, name, parameters, doc) \
    TVN_DECLARE_##header(result, name, parameters)
#define TVN_DECLARE_PIXEL(result, name, parameters) TVN_API result TVN_CDECL name parameters;
#include "c_functions.inc"

#ifdef __cplusplus
}
#endif

#endif
