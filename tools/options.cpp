// Values of the subcommand options, checked before any work starts so that a
// bad argument never leaves half a result behind.
#include "options.h"

#include <cstdlib>
#include <vector>

namespace cli {
namespace {

struct FILTER_NAME {
    const char* name;
    const int* number;
};

const FILTER_NAME kFilters[] = {
    {"box", &CRGBAImage::BoxFilter},           {"bilinear", &CRGBAImage::BilinearFilter},
    {"bicubic", &CRGBAImage::BicubicFilter},   {"gaussian", &CRGBAImage::GaussianFilter},
    {"hamming", &CRGBAImage::HammingFilter},   {"blackman", &CRGBAImage::BlackmanFilter},
};

std::vector<std::string> splitCommas(const std::string& text) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t comma = text.find(',', start);
        parts.push_back(text.substr(start, comma == std::string::npos ? std::string::npos : comma - start));
        if (comma == std::string::npos)
            return parts;
        start = comma + 1;
    }
}

// Each part a percentage 0..100 (of transparency: 0 opaque, 100 clear).
bool percentages(const std::vector<std::string>& parts, unsigned char* out[], std::size_t count) {
    if (parts.size() != count)
        return false;
    for (std::size_t i = 0; i < count; ++i) {
        unsigned long v;
        if (!parseNumber(parts[i], 100, v))
            return false;
        *out[i] = static_cast<unsigned char>(v);
    }
    return true;
}

bool hexColour(const std::string& text, TVN_DWORD& colour) {
    if (text.size() != 6 || text.find_first_not_of("0123456789abcdefABCDEF") != std::string::npos)
        return false;
    const unsigned long rgb = std::strtoul(text.c_str(), nullptr, 16);
    colour = tvnRGBA(static_cast<unsigned char>(rgb >> 16), static_cast<unsigned char>(rgb >> 8),
                     static_cast<unsigned char>(rgb), 0);
    return true;
}

} // namespace

bool parseNumber(const std::string& text, unsigned long max, unsigned long& value) {
    if (text.empty() || text.size() > 9 || text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    value = std::strtoul(text.c_str(), nullptr, 10);
    return value <= max;
}

bool parseSize(const std::string& text, TVN_DWORD& width, TVN_DWORD& height) {
    const std::size_t x = text.find_first_of("xX");
    unsigned long w, h;
    if (x == std::string::npos || !parseNumber(text.substr(0, x), kMaxSide, w) ||
        !parseNumber(text.substr(x + 1), kMaxSide, h) || !w || !h)
        return false;
    width = static_cast<TVN_DWORD>(w);
    height = static_cast<TVN_DWORD>(h);
    return true;
}

bool parseFilter(const std::string& name, int& filter) {
    for (const FILTER_NAME& f : kFilters)
        if (name == f.name) {
            filter = *f.number;
            return true;
        }
    return false;
}

const char* filterName(int filter) {
    for (const FILTER_NAME& f : kFilters)
        if (filter == *f.number)
            return f.name;
    return "?";
}

bool parseAlpha(const std::string& text, IMG_TRANSP& t, std::string& mask, std::string& why) {
    t = IMG_TRANSP();
    mask.clear();
    const std::size_t colon = text.find(':');
    const std::string mode = text.substr(0, colon);
    const std::string rest = colon == std::string::npos ? std::string() : text.substr(colon + 1);
    const std::vector<std::string> parts = splitCommas(rest);
    bool ok = false;
    if (mode == "original" && colon == std::string::npos) {
        t.byMode = TRANSP_ORIGINAL;
        ok = true;
    } else if (mode == "const") {
        t.byMode = TRANSP_CONST;
        unsigned char* out[] = {&t.byConstTransp};
        ok = percentages(parts, out, 1);
    } else if (mode == "gradient") {
        t.byMode = TRANSP_LG;
        unsigned char* out[] = {&t.byLGTop, &t.byLGLeft, &t.byLGRight, &t.byLGBottom};
        ok = percentages(parts, out, 4);
    } else if (mode == "ellipse") {
        t.byMode = TRANSP_ELL;
        unsigned char* out[] = {&t.byEllCenter, &t.byEllBorder};
        ok = percentages(parts, out, 2);
    } else if (mode == "chromakey") {
        t.byMode = TRANSP_CHROMAKEY;
        unsigned long dev = 0;
        ok = (parts.size() == 2 || parts.size() == 3) && hexColour(parts[0], t.clrChromakey) &&
             parseNumber(parts[1], 441, dev); // 441: the largest colour distance there is
        t.dwChromakeyDev = static_cast<TVN_DWORD>(dev);
        if (ok && parts.size() == 3) {
            ok = parts[2] == "soft" || parts[2] == "hard";
            t.bChromakeySoft = parts[2] == "soft";
        }
    } else if (mode == "mask" && !rest.empty()) {
        t.byMode = TRANSP_MASK;
        mask = rest;
        ok = true;
    }
    if (!ok)
        why = "bad --alpha '" + text +
              "': use const:P, gradient:T,L,R,B, ellipse:C,E (percent of transparency 0..100), "
              "chromakey:RRGGBB,DEV[,soft] (DEV 0..441), mask:FILE or original";
    return ok;
}

bool COptionReader::next(std::string& arg) {
    if (m_bHasInline) {
        m_strError = "option " + m_args[m_nNext - 1].substr(0, m_args[m_nNext - 1].find('=')) +
                     " takes no value";
        return false;
    }
    if (m_nNext >= m_args.size())
        return false;
    arg = m_args[m_nNext++];
    const std::size_t eq = arg.find('=');
    if (arg.size() > 2 && arg.compare(0, 2, "--") == 0 && eq != std::string::npos) {
        m_strInline = arg.substr(eq + 1);
        m_bHasInline = true;
        arg.erase(eq);
    }
    return true;
}

bool COptionReader::value(const std::string& option, std::string& out) {
    if (m_bHasInline) {
        out = m_strInline;
        m_bHasInline = false;
        return true;
    }
    if (m_nNext >= m_args.size()) {
        m_strError = "option " + option + " needs a value";
        return false;
    }
    out = m_args[m_nNext++];
    return true;
}

} // namespace cli
