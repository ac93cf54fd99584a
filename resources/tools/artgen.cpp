// artgen: turns the drawings in resources/art into the bitmap and icon files that Volane.rc
// embeds. A host tool: it runs on the build machine, not on Windows.
//
//   artgen ART_DIR IMAGE_DIR           write every image file into IMAGE_DIR
//   artgen --check ART_DIR IMAGE_DIR   compare instead of writing; exit 1 if any file differs
//
// Exit status 2 means a drawing is malformed or a file cannot be read or written. Every image is
// built in memory first, so a bad drawing leaves the existing files untouched.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <sstream>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace fs = std::filesystem;

namespace {

using Bytes = std::vector<std::uint8_t>;

struct Rgb {
    std::uint8_t r = 0, g = 0, b = 0;
    bool operator==(const Rgb&) const = default;
};

struct Rgba {
    Rgb c;
    std::uint8_t a = 0;
};

struct Image {
    int width = 0;
    int height = 0;
    std::vector<Rgba> px;  // top row first

    Image(int w, int h) : width(w), height(h), px(static_cast<std::size_t>(w) * h) {}
    Rgba& at(int x, int y) { return px[static_cast<std::size_t>(y) * width + x]; }
    const Rgba& at(int x, int y) const { return px[static_cast<std::size_t>(y) * width + x]; }
};

// A problem in one drawing, reported as "file:line: message" (line 0 when no line applies).
class ArtError : public std::runtime_error {
  public:
    ArtError(const std::string& file, int line, const std::string& message)
        : std::runtime_error(file + (line > 0 ? ":" + std::to_string(line) : "") + ": " + message) {
    }
};

std::string ReadText(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw ArtError(path.filename().string(), 0, "cannot be read");
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Splits into lines without their CR/LF, so files edited on Windows read the same.
std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    return lines;
}

std::string Trim(std::string_view s) {
    auto first = s.find_first_not_of(" \t");
    if (first == std::string_view::npos) return {};
    auto last = s.find_last_not_of(" \t");
    return std::string(s.substr(first, last - first + 1));
}

bool IsCommentOrBlank(const std::string& trimmed) {
    return trimmed.empty() || trimmed.front() == '#';
}

// ---------------------------------------------------------------------------------------------
// Pixel maps: a legend of "<char> = <red> <green> <blue> [note]" lines, a line "---", then one
// text line per pixel row.

Rgb ParseLegendColour(std::istringstream& in, const std::string& file, int line) {
    int v[3];
    for (int& c : v) {
        if (!(in >> c) || c < 0 || c > 255)
            throw ArtError(file, line, "a legend colour needs red, green and blue from 0 to 255");
    }
    return {static_cast<std::uint8_t>(v[0]), static_cast<std::uint8_t>(v[1]),
            static_cast<std::uint8_t>(v[2])};
}

Image ParsePixelMap(const std::string& file, const std::string& text) {
    const auto lines = SplitLines(text);
    std::map<char, Rgb> legend;
    std::size_t i = 0;
    for (; i < lines.size(); ++i) {
        const int lineNo = static_cast<int>(i) + 1;
        const std::string t = Trim(lines[i]);
        if (t == "---") break;
        if (IsCommentOrBlank(t)) continue;
        std::istringstream in(t);
        std::string key, eq;
        in >> key >> eq;
        if (key.size() != 1 || eq != "=")
            throw ArtError(file, lineNo,
                           "a legend line reads \"<char> = <red> <green> <blue>\", and the pixel "
                           "rows follow a line \"---\"");
        if (legend.count(key[0])) throw ArtError(file, lineNo, "'" + key + "' is defined twice");
        legend[key[0]] = ParseLegendColour(in, file, lineNo);
    }
    if (i == lines.size()) throw ArtError(file, 0, "no \"---\" line before the pixel rows");

    std::vector<std::pair<int, std::string>> rows;
    for (++i; i < lines.size(); ++i) rows.emplace_back(static_cast<int>(i) + 1, lines[i]);
    while (!rows.empty() && Trim(rows.back().second).empty()) rows.pop_back();
    if (rows.empty()) throw ArtError(file, 0, "no pixel rows");

    const int width = static_cast<int>(rows.front().second.size());
    Image img(width, static_cast<int>(rows.size()));
    for (int y = 0; y < img.height; ++y) {
        const auto& [lineNo, row] = rows[y];
        if (static_cast<int>(row.size()) != width)
            throw ArtError(file, lineNo,
                           "row has " + std::to_string(row.size()) + " pixels, the first row has " +
                               std::to_string(width));
        for (int x = 0; x < width; ++x) {
            auto it = legend.find(row[x]);
            if (it == legend.end())
                throw ArtError(file, lineNo,
                               "'" + std::string(1, row[x]) + "' is not in the legend");
            img.at(x, y) = {it->second, 255};
        }
    }
    return img;
}

// ---------------------------------------------------------------------------------------------
// Vector drawings: "units N" then shapes painted in order on a transparent square of N units.
//   rect   #RRGGBB x y w h
//   round  #RRGGBB x y w h radius
//   circle #RRGGBB cx cy radius
//   poly   #RRGGBB x1 y1 x2 y2 x3 y3 ...
//   line   #RRGGBB x1 y1 x2 y2 width     (round ends)

struct Shape {
    std::string kind;
    Rgb colour;
    std::vector<double> v;
};

struct Drawing {
    double units = 0;
    std::vector<Shape> shapes;
};

Rgb ParseHexColour(const std::string& s, const std::string& file, int line) {
    if (s.size() != 7 || s[0] != '#' ||
        s.find_first_not_of("0123456789abcdefABCDEF", 1) != std::string::npos)
        throw ArtError(file, line, "colour \"" + s + "\" is not #RRGGBB");
    auto hex = [&](int at) {
        return static_cast<std::uint8_t>(std::stoi(s.substr(at, 2), nullptr, 16));
    };
    return {hex(1), hex(3), hex(5)};
}

void CheckArity(const Shape& s, const std::string& file, int line) {
    const std::map<std::string, std::size_t> arity{
        {"rect", 4}, {"round", 5}, {"circle", 3}, {"line", 5}};
    const std::size_t n = s.v.size();
    if (s.kind == "poly") {
        if (n < 6 || n % 2 != 0) throw ArtError(file, line, "poly needs at least three x y pairs");
        return;
    }
    auto it = arity.find(s.kind);
    if (it == arity.end()) throw ArtError(file, line, "unknown shape \"" + s.kind + "\"");
    if (n != it->second)
        throw ArtError(
            file, line,
            s.kind + " takes " + std::to_string(it->second) + " numbers, not " + std::to_string(n));
}

Drawing ParseDrawing(const std::string& file, const std::string& text) {
    Drawing d;
    const auto lines = SplitLines(text);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const int lineNo = static_cast<int>(i) + 1;
        const std::string t = Trim(lines[i]);
        if (IsCommentOrBlank(t)) continue;
        std::istringstream in(t);
        std::string kind;
        in >> kind;
        if (kind == "units") {
            if (!(in >> d.units) || d.units <= 0)
                throw ArtError(file, lineNo, "units needs a positive number");
            continue;
        }
        if (d.units <= 0) throw ArtError(file, lineNo, "\"units N\" must come before shapes");
        std::string colour;
        in >> colour;
        Shape s{kind, ParseHexColour(colour, file, lineNo), {}};
        for (std::string word; in >> word;) {
            try {
                std::size_t used = 0;
                s.v.push_back(std::stod(word, &used));
                if (used != word.size()) throw std::invalid_argument(word);
            } catch (const std::logic_error&) {
                throw ArtError(file, lineNo, "\"" + word + "\" is not a number");
            }
        }
        CheckArity(s, file, lineNo);
        d.shapes.push_back(std::move(s));
    }
    if (d.shapes.empty()) throw ArtError(file, 0, "no shapes");
    return d;
}

bool InsidePolygon(const std::vector<double>& v, double x, double y) {
    bool inside = false;
    const std::size_t n = v.size() / 2;
    for (std::size_t i = 0, j = n - 1; i < n; j = i++) {
        const double xi = v[2 * i], yi = v[2 * i + 1], xj = v[2 * j], yj = v[2 * j + 1];
        if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) inside = !inside;
    }
    return inside;
}

bool Covers(const Shape& s, double x, double y) {
    const auto& v = s.v;
    if (s.kind == "rect") return x >= v[0] && x < v[0] + v[2] && y >= v[1] && y < v[1] + v[3];
    if (s.kind == "round") {
        if (!(x >= v[0] && x < v[0] + v[2] && y >= v[1] && y < v[1] + v[3])) return false;
        const double r = v[4];
        const double cx = std::clamp(x, v[0] + r, v[0] + v[2] - r);
        const double cy = std::clamp(y, v[1] + r, v[1] + v[3] - r);
        return (x - cx) * (x - cx) + (y - cy) * (y - cy) <= r * r;
    }
    if (s.kind == "circle") return (x - v[0]) * (x - v[0]) + (y - v[1]) * (y - v[1]) <= v[2] * v[2];
    if (s.kind == "line") {
        const double dx = v[2] - v[0], dy = v[3] - v[1];
        const double len2 = dx * dx + dy * dy;
        const double t =
            len2 > 0 ? std::clamp(((x - v[0]) * dx + (y - v[1]) * dy) / len2, 0.0, 1.0) : 0.0;
        const double px = v[0] + t * dx - x, py = v[1] + t * dy - y;
        return px * px + py * py <= v[4] * v[4] / 4;
    }
    return InsidePolygon(v, x, y);
}

// Renders with samples x samples points per pixel: the topmost shape at each point gives its
// colour, and the share of points that any shape covers gives the alpha. One sample per pixel
// gives hard edges, as an icon with a one-bit mask needs. Integer averaging keeps the output
// byte-identical across compilers.
Image Render(const Drawing& d, int size, int samples) {
    Image img(size, size);
    const double scale = d.units / size;
    const int total = samples * samples;
    for (int y = 0; y < size; ++y) {
        for (int x = 0; x < size; ++x) {
            int covered = 0, r = 0, g = 0, b = 0;
            for (int sy = 0; sy < samples; ++sy) {
                for (int sx = 0; sx < samples; ++sx) {
                    const double ux = (x + (sx + 0.5) / samples) * scale;
                    const double uy = (y + (sy + 0.5) / samples) * scale;
                    for (auto it = d.shapes.rbegin(); it != d.shapes.rend(); ++it) {
                        if (!Covers(*it, ux, uy)) continue;
                        ++covered;
                        r += it->colour.r;
                        g += it->colour.g;
                        b += it->colour.b;
                        break;
                    }
                }
            }
            if (covered == 0) continue;
            auto avg = [&](int sum) {
                return static_cast<std::uint8_t>((sum + covered / 2) / covered);
            };
            img.at(x, y) = {{avg(r), avg(g), avg(b)},
                            static_cast<std::uint8_t>((255 * covered + total / 2) / total)};
        }
    }
    return img;
}

// ---------------------------------------------------------------------------------------------
// Binary writers (little-endian Windows structures).

class Writer {
  public:
    void U8(std::uint32_t v) { bytes.push_back(static_cast<std::uint8_t>(v)); }
    void U16(std::uint32_t v) {
        U8(v);
        U8(v >> 8);
    }
    void U32(std::uint32_t v) {
        U16(v);
        U16(v >> 16);
    }
    void Append(const Bytes& b) { bytes.insert(bytes.end(), b.begin(), b.end()); }
    Bytes bytes;
};

constexpr std::uint32_t kPixelsPerMetre = 3778;  // 96 dots per inch
constexpr std::uint32_t kInfoHeaderSize = 40;

void InfoHeader(Writer& w, int width, int height, int bpp, std::uint32_t imageSize,
                std::uint32_t ppm) {
    w.U32(kInfoHeaderSize);
    w.U32(static_cast<std::uint32_t>(width));
    w.U32(static_cast<std::uint32_t>(height));
    w.U16(1);  // planes
    w.U16(static_cast<std::uint32_t>(bpp));
    w.U32(0);  // BI_RGB
    w.U32(imageSize);
    w.U32(ppm);
    w.U32(ppm);
    w.U32(0);  // colours used: none, or all of an 8-bit table
    w.U32(0);  // important colours
}

// Opaque 32-bit rows, bottom row first, with the fourth byte 0.
void OpaquePixels(Writer& w, const Image& img) {
    for (int y = img.height - 1; y >= 0; --y) {
        for (int x = 0; x < img.width; ++x) {
            const Rgb& c = img.at(x, y).c;
            w.U8(c.b);
            w.U8(c.g);
            w.U8(c.r);
            w.U8(0);
        }
    }
}

void FileHeader(Writer& w, std::uint32_t fileSize, std::uint32_t pixelOffset) {
    w.U8('B');
    w.U8('M');
    w.U32(fileSize);
    w.U32(0);
    w.U32(pixelOffset);
}

constexpr std::uint32_t kFileHeaderSize = 14;

// The node bitmaps keep the layout of their original resources: image size 1298 in the header,
// and four zero bytes after the pixels. The resource compiler drops only the file header, so the
// trailer must be inside the file (and its size) to reach the resource.
Bytes NodeBitmapFile(const Image& img) {
    constexpr std::uint32_t kResourceSize = 1340;
    Writer w;
    FileHeader(w, kFileHeaderSize + kResourceSize, kFileHeaderSize + kInfoHeaderSize);
    InfoHeader(w, img.width, img.height, 32, 1298, kPixelsPerMetre);
    OpaquePixels(w, img);
    w.U32(0);
    return w.bytes;
}

Bytes PlainBitmapFile(const Image& img) {
    const auto pixelBytes = static_cast<std::uint32_t>(img.width * img.height * 4);
    Writer w;
    FileHeader(w, kFileHeaderSize + kInfoHeaderSize + pixelBytes,
               kFileHeaderSize + kInfoHeaderSize);
    InfoHeader(w, img.width, img.height, 32, pixelBytes, kPixelsPerMetre);
    OpaquePixels(w, img);
    return w.bytes;
}

int RowBytes(int width, int bpp) {
    return (width * bpp + 31) / 32 * 4;
}

// The AND mask of an icon image: a set bit is a transparent pixel.
void Mask(Writer& w, const Image& img) {
    const int rowBytes = RowBytes(img.width, 1);
    for (int y = img.height - 1; y >= 0; --y) {
        Bytes row(static_cast<std::size_t>(rowBytes), 0);
        for (int x = 0; x < img.width; ++x)
            if (img.at(x, y).a == 0) row[x / 8] |= static_cast<std::uint8_t>(0x80 >> (x % 8));
        w.Append(row);
    }
}

struct IconImage {
    int size;
    int bpp;
    Bytes dib;  // BITMAPINFOHEADER, colour table, XOR pixels, AND mask
};

IconImage IconImage32(const Image& img) {
    const auto maskBytes = static_cast<std::uint32_t>(RowBytes(img.width, 1) * img.height);
    const auto pixelBytes = static_cast<std::uint32_t>(img.width * img.height * 4);
    Writer w;
    InfoHeader(w, img.width, img.height * 2, 32, pixelBytes + maskBytes, 0);
    for (int y = img.height - 1; y >= 0; --y) {
        for (int x = 0; x < img.width; ++x) {
            const Rgba& p = img.at(x, y);
            w.U8(p.c.b);
            w.U8(p.c.g);
            w.U8(p.c.r);
            w.U8(p.a);
        }
    }
    Mask(w, img);
    return {img.width, 32, w.bytes};
}

// An 8-bit image with a 256-entry table. Entry 0 is black so that transparent pixels (mask bit
// set, colour black) leave the screen unchanged.
IconImage IconImage8(const Image& img, const std::string& file) {
    std::vector<Rgb> palette{Rgb{}};
    std::vector<std::uint8_t> index(img.px.size(), 0);
    for (std::size_t i = 0; i < img.px.size(); ++i) {
        if (img.px[i].a == 0) continue;
        auto it = std::find(palette.begin(), palette.end(), img.px[i].c);
        if (it == palette.end()) {
            if (palette.size() == 256)
                throw ArtError(file, 0,
                               "more than 256 colours at " + std::to_string(img.width) + " px");
            it = palette.insert(palette.end(), img.px[i].c);
        }
        index[i] = static_cast<std::uint8_t>(it - palette.begin());
    }
    palette.resize(256);
    const int rowBytes = RowBytes(img.width, 8);
    const auto maskBytes = static_cast<std::uint32_t>(RowBytes(img.width, 1) * img.height);
    Writer w;
    InfoHeader(w, img.width, img.height * 2, 8,
               static_cast<std::uint32_t>(rowBytes * img.height) + maskBytes, 0);
    for (const Rgb& c : palette) {
        w.U8(c.b);
        w.U8(c.g);
        w.U8(c.r);
        w.U8(0);
    }
    for (int y = img.height - 1; y >= 0; --y) {
        Bytes row(static_cast<std::size_t>(rowBytes), 0);
        for (int x = 0; x < img.width; ++x)
            row[x] = index[static_cast<std::size_t>(y) * img.width + x];
        w.Append(row);
    }
    Mask(w, img);
    return {img.width, 8, w.bytes};
}

// A complete .ico file: header, one directory entry per image, then the images in order.
Bytes IcoFile(const std::vector<IconImage>& images) {
    Writer w;
    w.U16(0);
    w.U16(1);  // icon
    w.U16(static_cast<std::uint32_t>(images.size()));
    auto offset = static_cast<std::uint32_t>(6 + 16 * images.size());
    for (const IconImage& im : images) {
        w.U8(static_cast<std::uint32_t>(im.size));
        w.U8(static_cast<std::uint32_t>(im.size));
        w.U8(0);  // colour count: 0 for 256 colours and more
        w.U8(0);
        w.U16(1);
        w.U16(static_cast<std::uint32_t>(im.bpp));
        w.U32(static_cast<std::uint32_t>(im.dib.size()));
        w.U32(offset);
        offset += static_cast<std::uint32_t>(im.dib.size());
    }
    for (const IconImage& im : images) w.Append(im.dib);
    return w.bytes;
}

// ---------------------------------------------------------------------------------------------
// What each output is made of.

constexpr Rgb kNodeBackground{252, 252, 252};
constexpr Rgb kMaskColour{192, 192, 192};  // the image list's transparent colour

void CheckSize(const Image& img, int width, int height, const std::string& file) {
    if (img.width != width || img.height != height)
        throw ArtError(file, 0,
                       "is " + std::to_string(img.width) + "x" + std::to_string(img.height) +
                           " pixels, it must be " + std::to_string(width) + "x" +
                           std::to_string(height));
}

Bytes NodeBitmap(const std::string& file, const std::string& text) {
    const Image img = ParsePixelMap(file, text);
    CheckSize(img, 18, 18, file);
    for (int y = 0; y < 18; ++y)
        for (int x = 0; x < 18; ++x)
            if (img.at(x, y).c == kMaskColour)
                throw ArtError(file, 0,
                               "pixel " + std::to_string(x) + "," + std::to_string(y) +
                                   " is 192,192,192, which the tree's image list shows as "
                                   "transparent");
    for (auto [x, y] : {std::pair{0, 0}, {17, 0}, {0, 17}, {17, 17}})
        if (!(img.at(x, y).c == kNodeBackground))
            throw ArtError(file, 0, "corners must show the background 252,252,252");
    return NodeBitmapFile(img);
}

Bytes AboutBitmap(const std::string& file, const std::string& text) {
    const Image img = ParsePixelMap(file, text);
    CheckSize(img, 50, 120, file);
    return PlainBitmapFile(img);
}

Bytes AppIcon(const std::string& file, const std::string& text) {
    const Drawing d = ParseDrawing(file, text);
    std::vector<IconImage> images;
    for (int size : {48, 32, 16}) images.push_back(IconImage32(Render(d, size, 8)));
    return IcoFile(images);
}

Bytes WindowIcon(const std::string& file, const std::string& text) {
    const Drawing d = ParseDrawing(file, text);
    std::vector<IconImage> images;
    for (int size : {16, 24, 32, 48, 64, 72, 96, 128})
        images.push_back(IconImage8(Render(d, size, 1), file));
    return IcoFile(images);
}

struct Output {
    const char* image;
    const char* source;
    Bytes (*make)(const std::string& file, const std::string& text);
};

constexpr Output kOutputs[] = {
    {"qe.bmp", "qe.txt", NodeBitmap},
    {"root.bmp", "root.txt", NodeBitmap},
    {"folder.bmp", "folder.txt", NodeBitmap},
    {"css.bmp", "css.txt", NodeBitmap},
    {"html.bmp", "html.txt", NodeBitmap},
    {"js.bmp", "js.txt", NodeBitmap},
    {"php.bmp", "php.txt", NodeBitmap},
    {"txt.bmp", "txt.txt", NodeBitmap},
    {"about.bmp", "about.txt", AboutBitmap},
    {"app.ico", "app-icon.txt", AppIcon},
    {"window.ico", "window-icon.txt", WindowIcon},
};

std::map<std::string, Bytes> BuildAll(const fs::path& artDir) {
    std::map<std::string, Bytes> files;
    for (const Output& o : kOutputs) files[o.image] = o.make(o.source, ReadText(artDir / o.source));
    return files;
}

bool SameContent(const fs::path& path, const Bytes& expected) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    const Bytes actual{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    return actual == expected;
}

int Check(const std::map<std::string, Bytes>& files, const fs::path& imageDir) {
    int differing = 0;
    for (const auto& [name, bytes] : files) {
        if (SameContent(imageDir / name, bytes)) continue;
        std::cerr << "artgen: " << (imageDir / name).string()
                  << " differs from its drawing; run resources/tools/regenerate\n";
        ++differing;
    }
    if (differing > 0) return 1;
    std::cout << "artgen: all " << files.size() << " images match their drawings\n";
    return 0;
}

int Write(const std::map<std::string, Bytes>& files, const fs::path& imageDir) {
    fs::create_directories(imageDir);
    for (const auto& [name, bytes] : files) {
        std::ofstream out(imageDir / name, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(bytes.data()),
                  static_cast<std::streamsize>(bytes.size()));
        if (!out) {
            std::cerr << "artgen: cannot write " << (imageDir / name).string() << "\n";
            return 2;
        }
    }
    std::cout << "artgen: wrote " << files.size() << " images to " << imageDir.string() << "\n";
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    const bool check = !args.empty() && args.front() == "--check";
    if (check) args.erase(args.begin());
    if (args.size() != 2) {
        std::cerr << "usage: artgen [--check] ART_DIR IMAGE_DIR\n";
        return 2;
    }
    try {
        const auto files = BuildAll(args[0]);
        return check ? Check(files, args[1]) : Write(files, args[1]);
    } catch (const std::exception& e) {
        std::cerr << "artgen: " << e.what() << "\n";
        return 2;
    }
}
