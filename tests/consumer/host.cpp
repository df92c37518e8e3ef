// A host program built against an installed tivorn.
#include <cstdio>
#include <tivorn.h>

int main() {
    const TVN_DWORD pixels[4] = {tvnRGBA(255, 0, 0, 255), 0, 0, tvnRGBA(0, 0, 255, 255)};
    CRGBAImage image(pixels, 2, 2);
    CRGBAImage copy(image);
    std::printf("tivorn %s: %lux%lu, first pixel red %d\n", tvnVersion(), (unsigned long)copy.getWidth(),
                (unsigned long)copy.getHeight(), tvnGetRValue(copy.getBuffer()[0]));
    return copy.getBuffer()[3] == pixels[3] ? 0 : 1;
}
