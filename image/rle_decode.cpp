// The run-length constructor: decodes the packed stream that compressRLE makes.
#include "tivorn/image.h"
#include "pixel/heap.h"
#include "pixel/module_start.h"
#include "pixel/rle_packets.h"
#include "image/file_names.h"

CRGBAImage::CRGBAImage(const unsigned char* packed, TVN_DWORD packedLength, TVN_DWORD width, TVN_DWORD height)
    : m_pBuffer(nullptr), m_pOrigBuffer(nullptr), m_pSavedAlpha(nullptr), m_dwWidth(width), m_dwHeight(height),
      m_dwWidthOrig(width), m_dwHeightOrig(height), m_strFileName(nullptr), m_strMaskFileName(nullptr),
      m_bContainsAlpha(0), m_hReadFile(INVALID_HANDLE_VALUE), m_readBuf(), m_nReadLast(-1), m_nReadNext(0),
      m_transp(), m_nBlurKrnlSize(0), m_nResizeFilter(1) {
    m_transp.byMode = TRANSP_ORIGINAL;
    std::size_t bytes = 0;
    if (!tvn::pixel::checkedSize(width, height, 4, &bytes)) tvn::pixel::throwMessage(tvn::pixel::Msg::OutOfMemory);
    const std::size_t total = bytes / 4;
    tvn::pixel::HeapBlock block(tvn::pixel::heapAlloc(bytes));
    if (!block.get()) tvn::pixel::throwMessage(tvn::pixel::Msg::OutOfMemory);
    TVN_DWORD* out = block.as<TVN_DWORD>();
    if (total && !packed) tvn::pixel::throwEmpty();

    tvn::pixel::RlePacketDecoder decoder(out, total);
    if (decoder.feed(packed, packedLength) == tvn::pixel::RlePacketDecoder::kFault || !decoder.complete())
        tvn::pixel::throwEmpty();
    const TVN_DWORD alphaAnd = decoder.alphaAnd();
    m_bContainsAlpha = (alphaAnd >> 24) != 0xFF;
    m_strFileName = static_cast<char*>(tvn::pixel::heapAllocZero(TVN_MAX_PATH));
    m_strMaskFileName = static_cast<char*>(tvn::pixel::heapAllocZero(TVN_MAX_PATH));
    m_pBuffer = static_cast<TVN_DWORD*>(block.release());
}
