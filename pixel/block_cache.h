// Recently freed large blocks, kept for the next picture of about their size.
// Opening, resizing and closing picture after picture (a batch of thumbnails,
// an animation whose window slides) would otherwise hand every block back to
// the system and have it zero fresh pages for the next one, which can cost as
// much as decoding into them. At most kMaxBlocks blocks and kMaxBytes bytes wait
// at any time; any thread may park and take.
#ifndef TIVORN_PIXEL_BLOCK_CACHE_H
#define TIVORN_PIXEL_BLOCK_CACHE_H

#include <cstddef>

namespace tvn::pixel::blocks {

const std::size_t kMaxBlocks = 8;
const std::size_t kMaxBytes = std::size_t(128) << 20;

// A parked block of at least bytes, or null. Blocks are sized by what the C
// heap can tell (a huge-page-aligned block has up to a huge page of slack), so
// a block serves a request when it holds at most a quarter and a huge page more.
void* take(std::size_t bytes);
// Keeps a C-heap block laid out as a large block for reuse, making room by
// freeing the longest parked ones; false when it is not kept (the caller frees it).
bool park(void* block);
// Frees every parked block.
void releaseAll();

} // namespace tvn::pixel::blocks

#endif
