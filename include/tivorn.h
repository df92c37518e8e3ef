/* tivorn: pictures and animations as 32-bit RGBA pixel buffers.
   Umbrella header: brings in every public header of the library. */
#ifndef TIVORN_H
#define TIVORN_H

#include "tivorn/types.h"
#include "tivorn/pixel.h"
#include "tivorn/host.h"
#include "tivorn/image.h"
#include "tivorn/cache.h"
#include "tivorn/video.h"
#include "tivorn/tivorn_c.h"

#endif
