// Runs the SVG renderer on tiny documents and reads what it writes back through the engine's own
// image readers: sizes, alpha, frame strips, alpha planes, and refusals of bad input.
#include "engine/gr/image.h"
#include "tests/support/temp_folder.h"
#include "tools/tests/tool_run.h"

#include <gtest/gtest.h>

#include <sys/wait.h>

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

namespace {

using testsupport::TempFolder;

ToolRun render(const std::string& args) { return runTool(SVGRENDER, args); }

// A w x h document whose body is the given SVG elements.
std::string svg(int w, int h, const std::string& body) {
    return "<svg xmlns='http://www.w3.org/2000/svg' width='" + std::to_string(w) + "' height='" +
           std::to_string(h) + "'>" + body + "</svg>";
}

// An opened image with its pixels converted to R, G, B, A bytes (A from ExtractChannel where the
// image has one).
struct Image {
    std::unique_ptr<cFileImage> reader;
    int width = 0, height = 0;
    std::vector<uint32_t> rgb, alpha;

    explicit Image(const std::string& path) : reader(imageOpen(path.c_str())) {
        if (!reader || reader->Open(path.c_str()) != 0) {
            reader.reset();
            return;
        }
        width = reader->Width();
        height = reader->Height();
        rgb.assign(static_cast<size_t>(width) * height, 0);
        alpha.assign(rgb.size(), 0);
        reader->Convert(0, 0, width, height, rgb.data(), 0, 0, width, height, 4, width * 4, 8, 8, 8, 0,
                        16, 8, 0, 0);
        reader->ExtractChannel(0, 0, width, height, alpha.data(), 0, 0, width, height, 4, width * 4, 8, 0);
    }
    bool ok() const { return reader != nullptr; }
    uint32_t rgbAt(int x, int y) const { return rgb[static_cast<size_t>(y) * width + x]; }
    uint32_t alphaAt(int x, int y) const { return alpha[static_cast<size_t>(y) * width + x]; }
};

// Left half opaque red, right half empty: scaling, straight colour and alpha all show.
const std::string kHalfRed = svg(8, 4, "<rect width='4' height='4' fill='#ff0000'/>");

TEST(SvgRender, RendersAtItsOwnOrAGivenSizeWithAlpha) {
    TempFolder dir("svgrender");
    const std::string source = dir.write("half.svg", kHalfRed);
    struct Case { const char* out; const char* size; int w, h; };
    for (const Case& c : {Case{"own.tga", "", 8, 4}, Case{"big.tga", "--size 32x16", 32, 16},
                          Case{"big.png", "--size 32x16", 32, 16}}) {
        SCOPED_TRACE(c.out);
        const ToolRun run = render(std::string(c.size) + " " + dir.file(c.out) + " " + source);
        ASSERT_EQ(run.status, 0) << run.output;
        const Image image(dir.file(c.out));
        ASSERT_TRUE(image.ok());
        EXPECT_EQ(image.width, c.w);
        EXPECT_EQ(image.height, c.h);
        EXPECT_EQ(image.reader->BitsPerPixel(), 32);
        EXPECT_EQ(image.rgbAt(0, 0), 0xFF0000u);
        EXPECT_EQ(image.alphaAt(0, 0), 255u);
        EXPECT_EQ(image.rgbAt(c.w / 2 - 1, c.h - 1), 0xFF0000u);
        EXPECT_EQ(image.alphaAt(c.w / 2, 0), 0u);
        EXPECT_EQ(image.alphaAt(c.w - 1, c.h - 1), 0u);
    }
}

TEST(SvgRender, HalfCoveredPixelsKeepTheirStraightColour) {
    TempFolder dir("svgrender");
    const std::string source = dir.write("soft.svg", svg(4, 4, "<rect width='4' height='4' fill='#40c080' opacity='0.5'/>"));
    ASSERT_EQ(render(dir.file("soft.tga") + " " + source).status, 0);
    const Image image(dir.file("soft.tga"));
    ASSERT_TRUE(image.ok());
    // Premultiplied output would halve the colour as well as the alpha.
    const uint32_t c = image.rgbAt(1, 1);
    EXPECT_NEAR(static_cast<int>(c >> 16), 0x40, 2);
    EXPECT_NEAR(static_cast<int>(c >> 8 & 0xFF), 0xC0, 2);
    EXPECT_NEAR(static_cast<int>(c & 0xFF), 0x80, 2);
    EXPECT_NEAR(static_cast<int>(image.alphaAt(1, 1)), 128, 1);
}

// Frame i of a strip is rows i * h .. i * h + h - 1, filled with colours[i].
void expectStrip(const Image& image, int w, int h, const std::vector<uint32_t>& colours) {
    ASSERT_TRUE(image.ok());
    ASSERT_EQ(image.width, w);
    ASSERT_EQ(image.height, h * static_cast<int>(colours.size()));
    for (size_t i = 0; i < colours.size(); ++i) {
        SCOPED_TRACE(i);
        const int top = static_cast<int>(i) * h;
        for (int y : {top, top + h - 1}) {
            EXPECT_EQ(image.rgbAt(0, y), colours[i]);
            EXPECT_EQ(image.rgbAt(w - 1, y), colours[i]);
            EXPECT_EQ(image.alphaAt(w - 1, y), 255u);
        }
    }
}

TEST(SvgRender, FrameStripsStackFramesTopToBottom) {
    TempFolder dir("svgrender");
    // Groups frame0..frame2 of one document; frame1 also paints far outside the picture, which
    // must not spill into its neighbours' cells.
    const std::string groups = dir.write("groups.svg", svg(6, 5,
        "<g id='frame0'><rect width='6' height='5' fill='#ff0000'/></g>"
        "<g id='frame1'><rect x='-50' y='-50' width='200' height='200' fill='#00ff00'/></g>"
        "<g id='frame2'><rect width='6' height='5' fill='#0000ff'/></g>"));
    ToolRun run = render(dir.file("groups.tga") + " " + groups);
    ASSERT_EQ(run.status, 0) << run.output;
    expectStrip(Image(dir.file("groups.tga")), 6, 5, {0xFF0000u, 0x00FF00u, 0x0000FFu});

    // The same groups at a larger size, counted explicitly, into a folder not made yet.
    run = render("--frames 3 --size 12x10 " + dir.file("new/folder/groups2.png") + " " + groups);
    ASSERT_EQ(run.status, 0) << run.output;
    expectStrip(Image(dir.file("new/folder/groups2.png")), 12, 10, {0xFF0000u, 0x00FF00u, 0x0000FFu});

    // One group alone, the way a button's states share one document.
    run = render("--id frame1 " + dir.file("one.tga") + " " + groups);
    ASSERT_EQ(run.status, 0) << run.output;
    expectStrip(Image(dir.file("one.tga")), 6, 5, {0x00FF00u});

    // Several documents are frames in the order given.
    const std::string a = dir.write("a.svg", svg(4, 3, "<rect width='4' height='3' fill='#ffff00'/>"));
    const std::string b = dir.write("b.svg", svg(4, 3, "<rect width='4' height='3' fill='#00ffff'/>"));
    run = render(dir.file("ab.tga") + " " + b + " " + a + " " + b);
    ASSERT_EQ(run.status, 0) << run.output;
    expectStrip(Image(dir.file("ab.tga")), 4, 3, {0x00FFFFu, 0xFFFF00u, 0x00FFFFu});
}

TEST(SvgRender, AlphaPlaneAndJpegAreOpaqueColourImages) {
    TempFolder dir("svgrender");
    const std::string source = dir.write("half.svg", kHalfRed);
    ASSERT_EQ(render("--alpha " + dir.file("pic.png") + " " + source).status, 0);
    const Image colour(dir.file("pic.png"));
    ASSERT_TRUE(colour.ok());
    EXPECT_EQ(colour.reader->BitsPerPixel(), 24);
    EXPECT_EQ(colour.rgbAt(0, 0), 0xFF0000u);
    // The engine reads the plane of pic.png from _pic.tga: 8-bit gray, no colour map.
    const Image plane(dir.file("_pic.tga"));
    ASSERT_TRUE(plane.ok());
    EXPECT_EQ(plane.reader->BitsPerPixel(), 8);
    EXPECT_EQ(plane.reader->HasNoColourMap(), 1);
    EXPECT_EQ(plane.width, 8);
    EXPECT_EQ(plane.alphaAt(3, 3), 255u);
    EXPECT_EQ(plane.alphaAt(4, 0), 0u);

    // JPEG backgrounds: 24 bits, baseline (the engine refuses progressive files), right size.
    const std::string back = dir.write("back.svg", svg(64, 48, "<rect width='64' height='48' fill='#3060c0'/>"));
    ASSERT_EQ(render(dir.file("back.jpg") + " " + back).status, 0);
    const Image jpeg(dir.file("back.jpg"));
    ASSERT_TRUE(jpeg.ok());
    EXPECT_EQ(jpeg.width, 64);
    EXPECT_EQ(jpeg.height, 48);
    EXPECT_EQ(jpeg.reader->BitsPerPixel(), 24);
    const uint32_t c = jpeg.rgbAt(32, 24);
    EXPECT_NEAR(static_cast<int>(c >> 16), 0x30, 3);
    EXPECT_NEAR(static_cast<int>(c & 0xFF), 0xC0, 3);
}

TEST(SvgRender, BadInputFailsWithAClearMessageAndWritesNothing) {
    TempFolder dir("svgrender");
    const std::string good = dir.write("good.svg", kHalfRed);
    const std::string broken = dir.write("broken.svg", "<svg xmlns='http://www.w3.org/2000/svg' width='4' height='4'><rect width='4'");
    const std::string sizeless = dir.write("sizeless.svg", "<svg xmlns='http://www.w3.org/2000/svg'><rect width='4' height='4'/></svg>");
    const std::string twoFrames = dir.write("two.svg", svg(4, 4, "<g id='frame0'/><g id='frame1'/>"));
    struct Case { std::string options, inputs, message; int status; };
    const Case cases[] = {
        {"", broken, "broken.svg", 1},
        {"", dir.file("missing.svg"), "missing.svg", 1},
        {"--frames 3", twoFrames, "no element with id \"frame2\"", 1},
        {"", sizeless, "give --size", 1},
        {"--size 8000x8000", good, "too large", 1},
        {"--size 12", good, "bad size", 2},
        {"--frames 2", good + " " + good, "exactly one input", 2},
        {"--id frame7", twoFrames, "no element with id \"frame7\"", 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.options + " " + c.inputs);
        const ToolRun run = render(c.options + " " + dir.file("out.tga") + " " + c.inputs);
        EXPECT_EQ(run.status, c.status);
        EXPECT_NE(run.output.find(c.message), std::string::npos) << run.output;
        EXPECT_FALSE(dir.exists("out.tga"));
    }
    const ToolRun wrongType = render(dir.file("out.bmp") + " " + good);
    EXPECT_EQ(wrongType.status, 2);
    EXPECT_NE(wrongType.output.find("must end in .tga, .png or .jpg"), std::string::npos);
}

}  // namespace

// A gradient dithered for the 16-bit screen: every pixel holds a value the screen shows exactly,
// and averaged down each column the picture keeps the gradient's fine steps instead of bands
// eight values wide.
TEST(SvgRender, DitheredGradientsKeepTheirStepsOnTheScreen) {
    TempFolder dir("svgrender");
    const std::string source = dir.write("fade.svg", svg(128, 48,
        "<defs><linearGradient id='g'><stop offset='0' stop-color='#203848'/>"
        "<stop offset='1' stop-color='#58a0c4'/></linearGradient></defs>"
        "<rect width='128' height='48' fill='url(#g)'/>"));
    ASSERT_EQ(render(dir.file("plain.png") + " " + source).status, 0);
    const ToolRun run = render("--dither " + dir.file("fine.png") + " " + source);
    ASSERT_EQ(run.status, 0) << run.output;
    const Image plain(dir.file("plain.png")), fine(dir.file("fine.png"));
    ASSERT_TRUE(plain.ok() && fine.ok());
    const int bits[3] = {5, 6, 5}, shifts[3] = {16, 8, 0};
    for (int x = 0; x < 128; ++x) {
        SCOPED_TRACE(x);
        for (int c = 0; c < 3; ++c) {
            int sum = 0;
            for (int y = 0; y < 48; ++y) {
                const int v = static_cast<int>(fine.rgbAt(x, y) >> shifts[c] & 0xFF);
                const int level = v >> (8 - bits[c]);
                ASSERT_EQ(v, level << (8 - bits[c]) | level >> (2 * bits[c] - 8)) << "channel " << c;
                sum += v;
            }
            const int want = static_cast<int>(plain.rgbAt(x, 24) >> shifts[c] & 0xFF);
            EXPECT_NEAR(sum / 48.0, want, 3.0) << "channel " << c;
        }
    }
}
