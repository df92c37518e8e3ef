/* CRGBAImage: the picture object of tivorn.
   The host allocates it (the field list is the object's layout), loads a file
   into it, resizes, blurs and gives it transparency, and reads its pixels. */
#ifndef TIVORN_IMAGE_H
#define TIVORN_IMAGE_H

#include "types.h"
#include "pixel.h"

/* Progress of a resize: percent 0..99 and the caller's value; return 0 to abort. */
typedef int (TVN_CDECL *IMG_PROGRESS_PROC)(unsigned char percent, void* user);

/* Transparency modes (IMG_TRANSP::byMode). */
enum {
    TRANSP_CONST = 0,
    TRANSP_LG = 1,
    TRANSP_ELL = 2,
    TRANSP_MASK = 3,
    TRANSP_ORIGINAL = 4,
    TRANSP_CHROMAKEY = 5
};

/* Transparency settings: 20 bytes, no padding. Percentages are transparency
   (0 opaque, 100 transparent); values above 100 act as 100. */
struct IMG_TRANSP {
    unsigned char byMode;
    unsigned char byConstTransp;
    unsigned char byLGTop;
    unsigned char byLGLeft;
    unsigned char byLGRight;
    unsigned char byLGBottom;
    unsigned char byEllCenter;
    unsigned char byEllBorder;
    TVN_DWORD clrChromakey;
    int bChromakeySoft;
    TVN_DWORD dwChromakeyDev;
};

#ifdef __cplusplus
static_assert(sizeof(IMG_TRANSP) == 20, "IMG_TRANSP is a 20-byte record");

struct tagBITMAPFILEHEADER;
struct tagBITMAPINFOHEADER;
struct tagRGBQUAD;
struct TGA_HEADER;
struct TGA_FOOTER;
struct GIF_SCREEN_DESCR;
struct GIF_IMAGE_DESCR;
namespace tvn { struct ImageAccess; }

class TVN_API CRGBAImage {
public:
    /* Filter numbers for setSize, reload, restoreAlpha. */
    static const int BoxFilter;
    static const int BilinearFilter;
    static const int BicubicFilter;
    static const int GaussianFilter;
    static const int HammingFilter;
    static const int BlackmanFilter;

    /* Folder in which the open-file dialog of load starts; shared by all images. */
    static char m_strPath[TVN_MAX_PATH];

    /* What throws, and what: the members below throw a char* that points at a
       text of the library (valid while it is loaded); every other member reports
       failure by its return value or a message box. "Message 1" is the library's
       out-of-memory text, the same that its message boxes show.
       - CRGBAImage(): never throws.
       - CRGBAImage(width, height) (zero-filled pixels) and CRGBAImage(pixels,
         width, height) (null pixels: zero-filled): message 1 when width x height
         x 4 bytes exceeds 32 bits or memory is short.
       - The run-length constructor: message 1 as above, checked first; then an
         empty text ("") when packed is null for a non-empty picture, or the
         stream is corrupt or ends before width x height pixels.
       - The copy constructor: message 1 when a copy of a buffer cannot be made.
       - operator=: message 1 when a copy of a buffer cannot be made; the target
         is then unchanged.
       - load: message 1 when a picture is already there and the copy kept to
         restore it after a failed read cannot be made; also when putting that
         picture back after a failed read runs short of memory (it is back in
         full all the same). A file that cannot be read is not thrown: load
         shows its message and returns 0. */
    CRGBAImage();
    CRGBAImage(TVN_DWORD width, TVN_DWORD height);
    CRGBAImage(const TVN_DWORD* pixels, TVN_DWORD width, TVN_DWORD height);
    /* Decodes a stream made by compressRLE. */
    CRGBAImage(const unsigned char* packed, TVN_DWORD packedLength, TVN_DWORD width, TVN_DWORD height);
    CRGBAImage(const CRGBAImage& other);
    const CRGBAImage& operator=(CRGBAImage& other);
    ~CRGBAImage();

    TVN_DWORD* getBuffer() { return m_pBuffer; }
    TVN_DWORD getWidth() const { return m_dwWidth; }
    TVN_DWORD getHeight() const { return m_dwHeight; }
    TVN_DWORD getWidthOrig() const { return m_dwWidthOrig; }
    TVN_DWORD getHeightOrig() const { return m_dwHeightOrig; }
    int containsAlpha() const { return m_bContainsAlpha; }
    const char* getFileName() const { return m_strFileName; }
    const char* getMaskFileName() const { return m_strMaskFileName; }
    unsigned int getBlurKrnlSize() const { return m_nBlurKrnlSize; }
    const IMG_TRANSP& getTransparency() const { return m_transp; }

    /* Loading: by extension .bmp, .tga/.targa, .gif, .jpg/.jpeg. */
    int load(const char* fileName, int showDialog);
    int reload(int filter, IMG_PROGRESS_PROC progress, void* user);

    /* Layout conversions and geometry. */
    int convertToGrayscale();
    int convertToBGRA();
    int fillBuffer24bit(unsigned char* dst);
    int fillBuffer32bit(unsigned char* dst);
    void flipHorizontal();
    void flipVertical();
    void trimByAlpha(TVN_DWORD& x, TVN_DWORD& y);
    void stretchHorizontally(TVN_DWORD width);

    /* Takes over the pixels of a bitmap handle (read as 24-bit, opaque). */
    int fromHandle(HBITMAP bitmap);

    /* Run-length packing of the untouched picture, and the TGA writer. */
    TVN_DWORD compressRLE(unsigned char** packed);
    static void freeRLEBuffer(unsigned char* packed);
    int saveTGA(const char* fileName);

    /* Resizing, always from the untouched copy. */
    int setSize(TVN_DWORD width, TVN_DWORD height, int filter, IMG_PROGRESS_PROC progress, void* user);
    int setSizeRough(TVN_DWORD width, TVN_DWORD height);

    /* Box blur that grows the picture by *pKernel on every side. */
    void blur(unsigned int* pKernel);

    /* Transparency. */
    int setTransparency(const IMG_TRANSP& transp, const char* maskFile);
    void saveAlpha();
    int restoreAlpha(int filter, IMG_PROGRESS_PROC progress, void* user);

    /* The modal properties dialog (size, transparency, blur), applied on OK with
       filter and progress for the resize. 1 on OK, 0 when cancelled or not shown.
       The mask name starts as the picture's mask name, else its file name. When
       both are empty (a picture never loaded from a file), the mask's browse
       button (IDC_PROP_MASK_BROWSE) still opens the open-file dialog: in
       m_strPath, the folder of the last file chosen there, or when none was
       chosen yet in the current folder ("." then becomes m_strPath). */
    int showProperties(HWND owner, int filter, IMG_PROGRESS_PROC progress, void* user);

private:
    int showFileDialog(const char* startPath);

    int readBMPFile(void* file);
    void readBMPFileHeader(void* file, tagBITMAPFILEHEADER* header);
    void readBMPInfoHeader(void* file, tagBITMAPINFOHEADER* info);
    void readBMPColorMap(void* file, tagRGBQUAD* table, TVN_DWORD count);
    void readBMPMappedBitmap(void* file, tagBITMAPINFOHEADER* info);
    void readBMPRawBitmap(void* file, tagBITMAPFILEHEADER* header, tagBITMAPINFOHEADER* info);

    int readTGAFile(void* file);
    void readTGAHeader(void* file, TGA_HEADER* header);
    void readTGAFooter(void* file, TGA_FOOTER* footer);
    void readTGAImData(void* file, const TGA_HEADER* header);
    void readTGAUnmapped(void* file, unsigned char depth);
    void readTGAUnmappedRLE(void* file, unsigned char depth);
    unsigned char getNextByte(void* file);

    int readGIFFile(void* file);
    void readGIFSignature(void* file);
    void readGIFScreenDescriptor(void* file, GIF_SCREEN_DESCR* screen);
    void readGIFColorMap(void* file, unsigned char** table, TVN_DWORD bits);
    int readGIFImageDescriptor(void* file, GIF_IMAGE_DESCR* image);

    int readJPEGFile(void* file);

    void blur(unsigned int* pKernel, int rebuild);

    void setTransparencyConst();
    void setTransparencyLG();
    void setTransparencyEll();
    int setTransparencyByMask();
    void setTransparencyChromakey();

    friend struct tvn::ImageAccess;

    TVN_DWORD* m_pBuffer;
    TVN_DWORD* m_pOrigBuffer;
    unsigned char* m_pSavedAlpha;
    TVN_DWORD m_dwWidth;
    TVN_DWORD m_dwHeight;
    TVN_DWORD m_dwWidthOrig;
    TVN_DWORD m_dwHeightOrig;
    char* m_strFileName;
    char* m_strMaskFileName;
    int m_bContainsAlpha;
    HANDLE m_hReadFile;
    unsigned char m_readBuf[512];
    int m_nReadLast;
    int m_nReadNext;
    IMG_TRANSP m_transp;
    unsigned int m_nBlurKrnlSize;
    int m_nResizeFilter;
};

/* tvn2PassBlur, the box blur of a whole picture: declared from
   tivorn/c_functions.inc, the one list of the C interface's functions. */
#define TVN_FUNCTION(header, availability, result, name, parameters, doc) \
    TVN_DECLARE_##header(result, name, parameters)
#define TVN_DECLARE_IMAGE(result, name, parameters) extern "C" TVN_API result TVN_CDECL name parameters;
#include "c_functions.inc"
#endif /* __cplusplus */

#endif
