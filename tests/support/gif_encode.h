// The GIF writer of tools/gif_encoder, under the tests' namespace.
#ifndef TIVORN_TEST_GIF_ENCODE_H
#define TIVORN_TEST_GIF_ENCODE_H

#include "gif_encoder.h"

namespace tvntest {
namespace gifenc = ::gifenc;
} // namespace tvntest

#endif
