#include "layout/ids.h"
#include "layout/info_layouts.h"
#include "support/ui_helpers.h"
#include "ui/controls.h"
#include "ui/info_windows.h"

#include <QFile>
#include <QImageReader>
#include <QPlainTextEdit>
#include <QRegularExpression>

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <tuple>
#include <vector>

using namespace kalvoran::ui;
using namespace kalvoran::layout;

namespace {

const QColor kRedText(255, 0, 0);
const QString kBanner = ":/pictures/banner.gif";
const QString kSide = ":/pictures/side.jpg";
const QString kIcon = ":/pictures/kalvoran.ico";
const QString kWeb = toQString(maker::kWebAddress);

TEST(MainWindow, LineRunsAcrossUnderTheNotices)
{
    MainWindow window;
    const auto *line = window.control<LineControl>(ids::main::kNoticesLine);
    ASSERT_NE(line, nullptr);
    EXPECT_EQ(line->from(), QPoint(320, 440));
    EXPECT_EQ(line->to(), QPoint(0, 440));
    EXPECT_EQ(line->colour(), kRedText);
    EXPECT_EQ(line->penWidth(), 2);
    EXPECT_EQ(line->focusPolicy(), Qt::NoFocus);
}

TEST(InfoWindows, TextBoxesKeepWhatIsTyped)
{
    MainWindow main;
    AboutWindow about;
    QLineEdit *web = main.control<QLineEdit>(ids::main::kWebAddress);
    QTest::keyClicks(web, "x");
    EXPECT_EQ(web->text(), "x" + kWeb);
    auto *text = about.control<QPlainTextEdit>(ids::about::kAboutText);
    EXPECT_FALSE(text->isReadOnly());
    EXPECT_EQ(text->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    QTest::keyClicks(text, "y");
    EXPECT_TRUE(text->toPlainText().startsWith("yThis program"));
}

TEST(AboutText, HasNineLinesAnd576Characters)
{
    const QString text = toQString(aboutLayout().controls[0].caption);
    EXPECT_EQ(text.size(), 576);
    EXPECT_TRUE(text.endsWith('\n'));
    const QStringList lines = text.split('\n');
    ASSERT_EQ(lines.size(), 10); // nine lines and the empty rest after the last break
    EXPECT_TRUE(lines[0].contains(toQString(maker::kName)));
    EXPECT_EQ(lines[1], "Web site: " + kWeb);
    EXPECT_TRUE(lines[3].startsWith(toQString(maker::kOwnership)));
    EXPECT_TRUE(lines[6].contains("\"Kalvoran\" and \"Orrimark\" are trade marks"));
    EXPECT_TRUE(lines[7].contains(kWeb + "/mailing-list"));
    EXPECT_TRUE(lines[8].contains(toQString(maker::kEmail)));
}

// Every address and number of the maker is plainly fictional, and the
// windows agree on them.
TEST(MakerDetails, AreFictionalAndAgree)
{
    const QRegularExpression address(R"(([\w.-]+@)?[\w-]+(\.[\w-]+)+(/[\w-]*)*)");
    const QRegularExpression number(R"(\+?\d[\d ]{5,}\d)");
    int addresses = 0;
    int numbers = 0;
    for (const WindowLayout *layout : {&mainLayout(), &farewellLayout(), &aboutLayout()}) {
        for (const Control &row : layout->controls) {
            if (row.kind == Kind::PictureBox)
                continue;
            const QString caption = toQString(row.caption);
            for (const auto &match : address.globalMatch(caption)) {
                const QString host = match.captured().section('/', 0, 0).section('@', -1);
                if (!host.contains(QRegularExpression("[a-z]{2,}\\.[a-z]{2,}")))
                    continue; // "S.I", "1.2", "program..for"
                ++addresses;
                EXPECT_TRUE(host.endsWith(".example.com") || host.endsWith(".example.org")) << host.toStdString();
            }
            for (const auto &match : number.globalMatch(caption)) {
                ++numbers;
                EXPECT_TRUE(QRegularExpression(R"(^\+1 555 01\d\d$)").match(match.captured()).hasMatch())
                    << match.captured().toStdString();
            }
        }
    }
    EXPECT_EQ(addresses, 8); // Form1: 1, Form4: 2, About text: 5
    EXPECT_EQ(numbers, 2);
    EXPECT_TRUE(kWeb.startsWith("www.") && kWeb.endsWith(".example.com"));
}

QByteArray resourceBytes(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

quint8 byteAt(const QByteArray &bytes, qsizetype at)
{
    return static_cast<quint8>(bytes[at]);
}

quint16 bigEndian16(const QByteArray &bytes, qsizetype at)
{
    return static_cast<quint16>((byteAt(bytes, at) << 8) | byteAt(bytes, at + 1));
}

quint32 littleEndian(const QByteArray &bytes, qsizetype at, int size)
{
    quint32 value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = (value << 8) | byteAt(bytes, at + i);
    return value;
}

// The embedded pictures decode as the formats and sizes they were drawn in.
// Qt hands the GIF and the icon over as true-colour images, so their palettes
// are read from the bytes below; the decoded pixels keep within them.
TEST(Pictures, DecodeAsDrawn)
{
    const std::vector<std::tuple<QString, QByteArray, QSize, std::size_t>> pictures{
        {kBanner, "gif", {459, 68}, 32}, {kSide, "jpeg", {186, 395}, 0}, {kIcon, "ico", {32, 32}, 256}};
    for (const auto &[path, format, size, paletteSize] : pictures) {
        SCOPED_TRACE(path.toStdString());
        QImageReader reader(path);
        EXPECT_EQ(reader.format(), format);
        const QImage image = reader.read();
        EXPECT_EQ(image.size(), size);
        if (paletteSize > 0) {
            const QImage rgb = image.convertToFormat(QImage::Format_RGB32);
            const auto *pixels = reinterpret_cast<const QRgb *>(rgb.constBits());
            EXPECT_LE(std::set<QRgb>(pixels, pixels + rgb.width() * rgb.height()).size(), paletteSize);
        }
    }
}

TEST(Pictures, BannerIsAGif89aWithA32ColourPalette)
{
    const QByteArray bytes = resourceBytes(kBanner);
    ASSERT_GE(bytes.size(), 13 + 32 * 3);
    EXPECT_EQ(bytes.left(6), "GIF89a");
    EXPECT_EQ(littleEndian(bytes, 6, 2), 459u);
    EXPECT_EQ(littleEndian(bytes, 8, 2), 68u);
    const quint8 packed = byteAt(bytes, 10);
    EXPECT_TRUE(packed & 0x80) << "global colour table";
    EXPECT_EQ(2 << (packed & 0x07), 32) << "entries in it";
}

TEST(Pictures, IconHoldsOne32By32ImageOf256Colours)
{
    const QByteArray bytes = resourceBytes(kIcon);
    ASSERT_GE(bytes.size(), 22 + 40);
    // Directory: reserved 0, type 1 (icon), one image; then its entry: width,
    // height, colour count (0 for 256), reserved, planes, bits per pixel.
    EXPECT_EQ(bytes.left(6), QByteArray::fromHex("000001000100"));
    EXPECT_EQ(bytes.mid(6, 4), QByteArray::fromHex("20200000"));
    EXPECT_EQ(bytes.mid(10, 4), QByteArray::fromHex("01000800"));
    // The image's bitmap header: 32 wide, twice 32 high (colours and mask),
    // 8 bits per pixel, a full 256-entry palette (0 or 256 colours used).
    const qsizetype image = littleEndian(bytes, 18, 4);
    ASSERT_GE(bytes.size(), image + 40);
    EXPECT_EQ(littleEndian(bytes, image, 4), 40u);
    EXPECT_EQ(littleEndian(bytes, image + 4, 4), 32u);
    EXPECT_EQ(littleEndian(bytes, image + 8, 4), 64u);
    EXPECT_EQ(littleEndian(bytes, image + 14, 2), 8u);
    const quint32 used = littleEndian(bytes, image + 32, 4);
    EXPECT_TRUE(used == 0 || used == 256) << used;
}

TEST(Pictures, SidePictureIsABaselineJfifWithExif)
{
    const QByteArray bytes = resourceBytes(kSide);
    ASSERT_GE(bytes.size(), 4);
    ASSERT_EQ(bigEndian16(bytes, 0), 0xFFD8); // SOI
    std::map<int, QByteArray> segments;       // marker -> first of that kind's payload
    qsizetype at = 2;
    while (at + 4 <= bytes.size() && byteAt(bytes, at) == 0xFF) {
        const int marker = byteAt(bytes, at + 1);
        const quint16 length = bigEndian16(bytes, at + 2);
        segments.try_emplace(marker, bytes.mid(at + 4, length - 2));
        if (marker == 0xDA) // start of scan: the entropy-coded data follows
            break;
        at += 2 + length;
    }
    EXPECT_EQ(bigEndian16(bytes, 2), 0xFFE0) << "APP0 comes first";
    EXPECT_TRUE(segments[0xE0].startsWith(QByteArray("JFIF\0", 5)));
    EXPECT_TRUE(segments[0xE1].startsWith(QByteArray("Exif\0\0", 6)));
    ASSERT_TRUE(segments.contains(0xC0)) << "baseline frame";
    EXPECT_FALSE(segments.contains(0xC2)) << "not progressive";
    const QByteArray &frame = segments[0xC0];
    ASSERT_GE(frame.size(), 6);
    EXPECT_EQ(byteAt(frame, 0), 8);        // precision
    EXPECT_EQ(bigEndian16(frame, 1), 395); // height
    EXPECT_EQ(bigEndian16(frame, 3), 186); // width
    EXPECT_EQ(byteAt(frame, 5), 3);        // components
    EXPECT_TRUE(segments.contains(0xDA));
}

} // namespace
