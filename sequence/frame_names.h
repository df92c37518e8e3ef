// Finding the frame files of a numbered animation from the name of one of them.
#ifndef TIVORN_SEQUENCE_FRAME_NAMES_H
#define TIVORN_SEQUENCE_FRAME_NAMES_H

#include <vector>

#include "tivorn/types.h"

// One zeroed block of the library's heap (TVN_MAX_PATH bytes) per frame, in frame
// order; the blocks belong to whoever holds the list and are released with
// freeFrameName.
typedef std::vector<char*> FRAME_NAME_LIST;

namespace tvn {
namespace sequence {

// Fills `list` with the frames that exist, starting at the number the base name
// (the name without its extension) ends with: same prefix, the number printed
// with at least as many digits as it had, same extension; the first missing
// number ends the run. A base that does not end in digits gives the file itself,
// if it exists. Names of TVN_MAX_PATH characters or more, given or grown, are
// refused: the given one yields an empty list, a grown candidate ends the run.
// Frees whatever the list held before.
void enumerateFrameFiles(const char* fileName, FRAME_NAME_LIST& list);

// A zeroed name block; null when memory is short.
char* newFrameName();
void freeFrameName(char* name);
// Releases every name of the list and empties it.
void freeFrameNames(FRAME_NAME_LIST& list);

} // namespace sequence
} // namespace tvn

#endif
