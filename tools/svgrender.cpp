// Renders SVG art into the image files the engine loads: 32-bit TGA, PNG or baseline JPEG, one
// picture or a strip of frames stacked top to bottom, optionally with a separate alpha plane.
#include "tools/image_write.h"
#include "tools/tga_write.h"

#include <cairo.h>
#include <librsvg/rsvg.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

namespace {

const char kUsage[] =
    "usage: svgrender [--size WxH] [--frames N | --id ID] [--alpha] [--dither] [--quality Q] OUTPUT INPUT.svg...\n"
    "  OUTPUT ends in .tga (32-bit with alpha), .png (RGBA) or .jpg (24-bit, opaque); its folder\n"
    "  is made when missing.\n"
    "  Several inputs are frames stacked top to bottom in the order given; one input with\n"
    "  groups \"frame0\", \"frame1\" ... is a strip of those groups.\n"
    "  --size WxH   size of each frame (default: the first input's own size)\n"
    "  --frames N   the one input must have the groups \"frame0\" .. \"frame<N-1>\"\n"
    "  --id ID      only the element with that id of the one input (drawn where the whole\n"
    "               document would draw it), e.g. one state of a button\n"
    "  --alpha      the colour image without alpha (24 bits) and beside it the alpha as an\n"
    "               8-bit gray TGA named with a leading underscore (x/pic.png -> x/_pic.tga)\n"
    "  --dither     colours reduced to the 16-bit screen's 5, 6 and 5 bits by error diffusion, so\n"
    "               large gradients show no steps there (best with .png or .tga: JPEG blurs it)\n"
    "  --quality Q  JPEG quality 1..100 (default 90)\n";

enum class Format { Tga, Png, Jpeg };

struct Options {
    int width = 0, height = 0;  // 0: the first input's own size
    int frames = 0;             // 0: each input is one frame
    std::string id;             // empty: the whole document or its frame groups
    bool alphaPlane = false;
    bool dither = false;
    int quality = 90;
    std::string output;
    std::vector<std::string> inputs;
};

bool endsWith(const std::string& s, const char* tail) {
    const size_t n = strlen(tail);
    if (s.size() < n) return false;
    for (size_t i = 0; i < n; ++i)
        if (tolower(static_cast<unsigned char>(s[s.size() - n + i])) != tail[i]) return false;
    return true;
}

bool formatOf(const std::string& name, Format* format) {
    if (endsWith(name, ".tga")) *format = Format::Tga;
    else if (endsWith(name, ".png")) *format = Format::Png;
    else if (endsWith(name, ".jpg") || endsWith(name, ".jpeg")) *format = Format::Jpeg;
    else return false;
    return true;
}

// The name the engine's sprite loader looks for an image's alpha in: the folder, then "_" and
// the file name with its extension replaced by "tga".
std::string alphaPlaneName(const std::string& image) {
    const size_t slash = image.find_last_of("/\\");
    const std::string folder = slash == std::string::npos ? "" : image.substr(0, slash + 1);
    std::string file = slash == std::string::npos ? image : image.substr(slash + 1);
    const size_t dot = file.find_last_of('.');
    file = (dot == std::string::npos ? file + "." : file.substr(0, dot + 1)) + "tga";
    return folder + "_" + file;
}

// A positive integer no larger than limit; false for anything else (also trailing text).
bool parseCount(const char* text, int limit, int* out) {
    char* end = nullptr;
    const long v = strtol(text, &end, 10);
    if (end == text || *end || v < 1 || v > limit) return false;
    *out = static_cast<int>(v);
    return true;
}

bool parseArgs(int argc, char** argv, Options* o) {
    int i = 1;
    for (; i < argc && argv[i][0] == '-' && argv[i][1] == '-'; ++i) {
        const std::string opt = argv[i];
        const bool hasValue = i + 1 < argc;
        if (opt == "--alpha") {
            o->alphaPlane = true;
        } else if (opt == "--dither") {
            o->dither = true;
        } else if (opt == "--size" && hasValue) {
            const std::string v = argv[++i];
            const size_t x = v.find('x');
            if (x == std::string::npos || !parseCount(v.substr(0, x).c_str(), 16384, &o->width) ||
                !parseCount(v.substr(x + 1).c_str(), 16384, &o->height)) {
                fprintf(stderr, "svgrender: bad size \"%s\" (expected WxH)\n", v.c_str());
                return false;
            }
        } else if (opt == "--frames" && hasValue) {
            if (!parseCount(argv[++i], 1024, &o->frames)) {
                fprintf(stderr, "svgrender: bad frame count \"%s\"\n", argv[i]);
                return false;
            }
        } else if (opt == "--id" && hasValue) {
            o->id = argv[++i];
        } else if (opt == "--quality" && hasValue) {
            if (!parseCount(argv[++i], 100, &o->quality)) {
                fprintf(stderr, "svgrender: bad JPEG quality \"%s\"\n", argv[i]);
                return false;
            }
        } else {
            fprintf(stderr, "svgrender: unknown option or missing value: %s\n%s", opt.c_str(), kUsage);
            return false;
        }
    }
    if (argc - i < 2) {
        fputs(kUsage, stderr);
        return false;
    }
    o->output = argv[i++];
    for (; i < argc; ++i) o->inputs.push_back(argv[i]);
    if ((o->frames || !o->id.empty()) && o->inputs.size() != 1) {
        fprintf(stderr, "svgrender: --frames and --id take exactly one input\n");
        return false;
    }
    if (o->frames && !o->id.empty()) {
        fprintf(stderr, "svgrender: --frames and --id do not go together\n");
        return false;
    }
    return true;
}

void reportError(const std::string& file, GError* error, const char* what) {
    fprintf(stderr, "svgrender: %s: %s\n", file.c_str(), error ? error->message : what);
    if (error) g_error_free(error);
}

// One loaded SVG document; null handle when it could not be read (already reported).
struct Document {
    std::string file;
    RsvgHandle* handle = nullptr;

    explicit Document(const std::string& name) : file(name) {
        GError* error = nullptr;
        handle = rsvg_handle_new_from_file(name.c_str(), &error);
        if (!handle) reportError(name, error, "cannot read the SVG");
    }
    ~Document() {
        if (handle) g_object_unref(handle);
    }
    Document(const Document&) = delete;
    Document& operator=(const Document&) = delete;

    // The document's own size in pixels, rounded up; false when it has none (no width and height).
    bool size(int* width, int* height) const {
        double w = 0, h = 0;
        if (!rsvg_handle_get_intrinsic_size_in_pixels(handle, &w, &h) || w < 1 || h < 1) {
            fprintf(stderr, "svgrender: %s: no width and height of its own; give --size\n", file.c_str());
            return false;
        }
        *width = static_cast<int>(std::ceil(w));
        *height = static_cast<int>(std::ceil(h));
        return true;
    }

    bool hasFrame(int i) const { return rsvg_handle_has_sub(handle, ("#frame" + std::to_string(i)).c_str()); }

    // Draws the whole document, or only the element with the given id, scaled into the viewport.
    bool render(cairo_t* cr, const RsvgRectangle& viewport, const char* id) const {
        GError* error = nullptr;
        if (id && !rsvg_handle_has_sub(handle, id)) {
            fprintf(stderr, "svgrender: %s: no element with id \"%s\"\n", file.c_str(), id + 1);
            return false;
        }
        const gboolean ok = id ? rsvg_handle_render_layer(handle, cr, id, &viewport, &error)
                               : rsvg_handle_render_document(handle, cr, &viewport, &error);
        if (!ok) reportError(file, error, "rendering failed");
        return ok;
    }
};

// Straight (not premultiplied) R, G, B, A bytes of the whole strip, rows top first.
std::vector<uint8_t> straightRgba(cairo_surface_t* surface, int width, int height) {
    cairo_surface_flush(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    std::vector<uint8_t> out(static_cast<size_t>(width) * height * 4);
    for (int y = 0; y < height; ++y) {
        const uint32_t* row = reinterpret_cast<const uint32_t*>(data + static_cast<size_t>(y) * stride);
        for (int x = 0; x < width; ++x) {
            const uint32_t p = row[x];
            const uint32_t a = p >> 24;
            uint8_t* o = &out[(static_cast<size_t>(y) * width + x) * 4];
            for (int c = 0; c < 3; ++c) {
                const uint32_t v = (p >> (16 - 8 * c)) & 0xFF;
                o[c] = a ? static_cast<uint8_t>(std::min<uint32_t>(255, (v * 255 + a / 2) / a)) : 0;
            }
            o[3] = static_cast<uint8_t>(a);
        }
    }
    return out;
}

// The 8-bit value of the level nearest v among the 2^bits a channel of the screen has, written so
// that the engine's conversion (dropping the low bits) gives that level back exactly.
int screenLevel(float v, int bits) {
    const int top = (1 << bits) - 1;
    const int q = std::clamp(static_cast<int>(std::lround(v * top / 255.0f)), 0, top);
    return (q << (8 - bits)) | (q >> (2 * bits - 8));
}

// Reduces the colour of every pixel that shows (alpha above 0) to the screen's R5 G6 B5 levels,
// spreading each pixel's rounding error onto its unvisited neighbours (Floyd and Steinberg's
// weights, rows walked in alternating directions): a gradient becomes a fine mix of two
// neighbouring levels instead of bands eight values apart.
void ditherToScreen(std::vector<uint8_t>* rgba, int width, int height) {
    const int bits[3] = {5, 6, 5};
    std::vector<float> error(static_cast<size_t>(width + 2) * 2 * 3, 0.0f);  // this row and the next
    auto at = [&](int row, int x, int c) -> float& {
        return error[(static_cast<size_t>(row & 1) * (width + 2) + static_cast<size_t>(x + 1)) * 3 + c];
    };
    for (int y = 0; y < height; ++y) {
        for (int x = -1; x <= width; ++x)
            for (int c = 0; c < 3; ++c) at(y + 1, x, c) = 0.0f;
        const bool leftward = y & 1;
        const int step = leftward ? -1 : 1;
        for (int i = 0; i < width; ++i) {
            const int x = leftward ? width - 1 - i : i;
            uint8_t* p = &(*rgba)[(static_cast<size_t>(y) * width + x) * 4];
            if (p[3] == 0) continue;
            for (int c = 0; c < 3; ++c) {
                const float want = p[c] + at(y, x, c);
                const int got = screenLevel(want, bits[c]);
                p[c] = static_cast<uint8_t>(got);
                const float e = want - static_cast<float>(got);
                at(y, x + step, c) += e * 7 / 16;
                at(y + 1, x - step, c) += e * 3 / 16;
                at(y + 1, x, c) += e * 5 / 16;
                at(y + 1, x + step, c) += e * 1 / 16;
            }
        }
    }
}

// Picks channels out of R, G, B, A pixels in the order given (indexes 0..3).
std::vector<uint8_t> channels(const std::vector<uint8_t>& rgba, std::initializer_list<int> order) {
    std::vector<uint8_t> out;
    out.reserve(rgba.size() / 4 * order.size());
    for (size_t i = 0; i < rgba.size(); i += 4)
        for (int c : order) out.push_back(rgba[i + static_cast<size_t>(c)]);
    return out;
}

bool writeImage(const Options& o, Format format, int width, int height, const std::vector<uint8_t>& rgba) {
    const char* out = o.output.c_str();
    const bool keepAlpha = !o.alphaPlane && format != Format::Jpeg;
    bool ok = false;
    switch (format) {
        case Format::Tga:
            ok = keepAlpha ? writeTga(out, width, height, 32, channels(rgba, {2, 1, 0, 3}), true)
                           : writeTga(out, width, height, 24, channels(rgba, {2, 1, 0}), true);
            break;
        case Format::Png:
            ok = keepAlpha ? writePng(out, width, height, 4, rgba)
                           : writePng(out, width, height, 3, channels(rgba, {0, 1, 2}));
            break;
        case Format::Jpeg:
            ok = writeJpeg(out, width, height, channels(rgba, {0, 1, 2}), o.quality);
            break;
    }
    if (ok && o.alphaPlane)
        ok = writeTga(alphaPlaneName(o.output).c_str(), width, height, 8, channels(rgba, {3}), true);
    return ok;
}

// The build renders into folders that may not exist yet; making them here saves a process per
// picture.
bool makeFolderOf(const std::string& file) {
    const std::filesystem::path folder = std::filesystem::path(file).parent_path();
    std::error_code error;
    if (folder.empty() || std::filesystem::is_directory(folder, error)) return true;
    std::filesystem::create_directories(folder, error);
    if (error) fprintf(stderr, "svgrender: %s: %s\n", folder.c_str(), error.message().c_str());
    return !error;
}

int run(const Options& o) {
    Format format;
    if (!formatOf(o.output, &format)) {
        fprintf(stderr, "svgrender: %s: output must end in .tga, .png or .jpg\n", o.output.c_str());
        return 2;
    }
    std::vector<std::unique_ptr<Document>> documents;
    for (const std::string& name : o.inputs) {
        documents.push_back(std::make_unique<Document>(name));
        if (!documents.back()->handle) return 1;
    }

    int width = o.width, height = o.height;
    if (!width && !documents[0]->size(&width, &height)) return 1;
    // One input with a "frame0" group is a strip of all its numbered frame groups.
    int frames = o.frames;
    if (!frames && o.id.empty() && documents.size() == 1 && documents[0]->hasFrame(0))
        while (documents[0]->hasFrame(frames)) ++frames;
    const bool byGroup = frames > 0;
    if (!byGroup) frames = static_cast<int>(documents.size());
    // The engine refuses larger images; better to hear it here than when the game loads them.
    const long rows = static_cast<long>(height) * frames;
    if (width > 32767 || rows > 32767 || width * rows > (1L << 24)) {
        fprintf(stderr, "svgrender: %s: %d frames of %dx%d are too large for the engine's images\n",
                o.output.c_str(), frames, width, height);
        return 1;
    }

    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width, height * frames);
    cairo_t* cr = cairo_create(surface);
    bool ok = cairo_status(cr) == CAIRO_STATUS_SUCCESS;
    if (!ok) fprintf(stderr, "svgrender: %s: cannot make a %dx%d canvas\n", o.output.c_str(), width, height * frames);
    for (int i = 0; i < frames && ok; ++i) {
        const RsvgRectangle viewport{0.0, static_cast<double>(height) * i, static_cast<double>(width),
                                     static_cast<double>(height)};
        // Each frame is clipped to its own cell, so nothing one draws spills into a neighbour.
        cairo_save(cr);
        cairo_rectangle(cr, viewport.x, viewport.y, viewport.width, viewport.height);
        cairo_clip(cr);
        if (byGroup) {
            const std::string id = "#frame" + std::to_string(i);
            ok = documents[0]->render(cr, viewport, id.c_str());
        } else if (!o.id.empty()) {
            ok = documents[0]->render(cr, viewport, ("#" + o.id).c_str());
        } else {
            ok = documents[static_cast<size_t>(i)]->render(cr, viewport, nullptr);
        }
        cairo_restore(cr);
    }
    if (ok) ok = makeFolderOf(o.output);
    if (ok) {
        std::vector<uint8_t> rgba = straightRgba(surface, width, height * frames);
        if (o.dither) ditherToScreen(&rgba, width, height * frames);
        ok = writeImage(o, format, width, height * frames, rgba);
    }
    cairo_destroy(cr);
    cairo_surface_destroy(surface);
    return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!parseArgs(argc, argv, &options)) return 2;
    return run(options);
}
