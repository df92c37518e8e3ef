// The C host's picture steps through the classes; the bytes written must match.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <tivorn.h>

static std::string bytes(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    const std::string dir = argv[1];
    CRGBAImage image;
    if (!image.load((dir + "/c_src.tga").c_str(), 0)) return 1;
    if (!image.setSize(40, 30, CRGBAImage::BicubicFilter, nullptr, nullptr)) return 1;
    IMG_TRANSP transp = {};
    transp.byMode = TRANSP_LG;
    transp.byLGTop = 10;
    transp.byLGBottom = 90;
    transp.byLGLeft = 30;
    transp.byLGRight = 60;
    if (!image.setTransparency(transp, nullptr) || !image.saveTGA((dir + "/cpp_out.tga").c_str())) return 1;
    const std::string c = bytes(dir + "/c_out.tga"), cpp = bytes(dir + "/cpp_out.tga");
    std::printf("C host and classes wrote %zu and %zu bytes\n", c.size(), cpp.size());
    return !c.empty() && c == cpp ? 0 : 1;
}
