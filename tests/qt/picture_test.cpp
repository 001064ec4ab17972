// Pictures on Qt: decoding with the mask colour, drawing for denser screens,
// and what the controls' pictures look like on the screen the tests run on.
// The QtDensity tests hold at any density: ctest runs them again at 1.25,
// 1.5 and 2 device pixels a logical one, and at 120 dpi.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <cmath>

#include "backends/qt/qt_image.h"
#include "backends/qt/qt_picture.h"
#include "qt_form_test.h"
#include "tavo/host/image_encoder.h"
#include "tavo/ssaddon/tavo_ss_tree_controller.h"

namespace tavo {
namespace {

constexpr uint32_t kLightGrey = 0xC0C0C0;

PictureRef gif(const IndexedImage& img, PictureScaling scaling = PictureScaling::Smooth) {
    return Picture::fromBytes(encodeGif(img), scaling);
}

TEST(QtPicture, DecodesWithItsTransparencyAndTheMaskColourAndRejectsBadBytes) {
    IndexedImage img;
    img.width = 3;
    img.height = 1;
    img.palette = {0xFF0000u, 0x00FF00u, kLightGrey};
    img.pixels = {0, 1, 2};
    img.transparent = 1;
    const QImage plain = pictureImage(gif(img));
    ASSERT_EQ(plain.size(), QSize(3, 1));
    EXPECT_EQ(plain.pixel(0, 0), 0xFFFF0000u);
    EXPECT_EQ(qAlpha(plain.pixel(1, 0)), 0);
    EXPECT_EQ(plain.pixel(2, 0), 0xFFC0C0C0u);
    const QImage masked = pictureImage(gif(img), kLightGrey);
    EXPECT_EQ(masked.pixel(0, 0), 0xFFFF0000u);
    EXPECT_EQ(qAlpha(masked.pixel(2, 0)), 0) << "the mask colour is clear";
    EXPECT_TRUE(pictureImage(nullptr).isNull());

    auto truncated = encodeGif(img);
    truncated.resize(20);  // a readable header over a broken body
    EXPECT_EQ(errorNumberOf([&] { pictureImage(Picture::fromBytes(truncated)); }), err::InvalidPicture);
}

// One row of four pixels, white, black, white, white, drawn `width` pixels
// wide; the darkness of each pixel drawn, 0 white to 1 black.
struct ScalingCase {
    const char* name;
    PictureScaling scaling;
    int width;
    std::vector<double> darkness;  // empty: smoothly blended, not blocks
};
void PrintTo(const ScalingCase& c, std::ostream* os) { *os << c.name; }

class QtPictureScaling : public ::testing::TestWithParam<ScalingCase> {};

TEST_P(QtPictureScaling, PixelDrawingsStayWholeAndOthersAreSmooth) {
    const ScalingCase& c = GetParam();
    QImage row(4, 1, QImage::Format_ARGB32_Premultiplied);
    row.fill(Qt::white);
    row.setPixel(1, 0, 0xFF000000u);
    const QImage drawn = scalePicture(row, c.scaling, QSize(c.width, 1));
    ASSERT_EQ(drawn.size(), QSize(c.width, 1));
    std::vector<double> darkness;
    for (int x = 0; x < c.width; ++x) darkness.push_back(1.0 - qGray(drawn.pixel(x, 0)) / 255.0);
    if (c.darkness.empty()) {
        const auto partly =
            std::count_if(darkness.begin(), darkness.end(), [](double d) { return d > 0.05 && d < 0.95; });
        EXPECT_GE(partly, 2) << "an application's picture is scaled smoothly";
        return;
    }
    ASSERT_EQ(darkness.size(), c.darkness.size());
    for (std::size_t x = 0; x < darkness.size(); ++x) EXPECT_NEAR(darkness[x], c.darkness[x], 0.02) << "pixel " << x;
}

INSTANTIATE_TEST_SUITE_P(
    Ratios, QtPictureScaling,
    ::testing::Values(ScalingCase{"PixelsAtOne", PictureScaling::Pixels, 4, {0, 1, 0, 0}},
                      // Whole pixels at a whole ratio: two device pixels each.
                      ScalingCase{"PixelsAtTwo", PictureScaling::Pixels, 8, {0, 0, 1, 1, 0, 0, 0, 0}},
                      // Between whole ratios the line keeps its width (1.5 and
                      // 1.25 pixels of darkness), each edge at most one soft pixel.
                      ScalingCase{"PixelsAtOneAndAHalf", PictureScaling::Pixels, 6, {0, 0.5, 1, 0, 0, 0}},
                      ScalingCase{"PixelsAtOneAndAQuarter", PictureScaling::Pixels, 5, {0, 0.75, 0.5, 0, 0}},
                      ScalingCase{"SmoothAtTwo", PictureScaling::Smooth, 8, {}}),
    [](const ::testing::TestParamInfo<ScalingCase>& c) { return std::string(c.param.name); });

// ---- The controls' pictures on this screen ------------------------------

QImage rendered(QWidget* w) {
    const qreal ratio = w->devicePixelRatioF();
    QImage out((QSizeF(w->size()) * ratio).toSize(), QImage::Format_ARGB32_Premultiplied);
    out.setDevicePixelRatio(ratio);
    out.fill(Qt::transparent);
    w->render(&out, QPoint(), QRegion(), QWidget::RenderFlags());
    return out;
}

QImage premultiplied(const QImage& image) { return image.convertToFormat(QImage::Format_ARGB32_Premultiplied); }

// "" when both hold the same pixels, else where and how they differ first.
std::string firstDifference(const QImage& a, const QImage& b) {
    if (a.size() != b.size())
        return "sizes " + std::to_string(a.width()) + "x" + std::to_string(a.height()) + " and " +
               std::to_string(b.width()) + "x" + std::to_string(b.height());
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                return "at " + std::to_string(x) + "," + std::to_string(y) + ": " + QString::number(a.pixel(x, y), 16).toStdString() +
                       " and " + QString::number(b.pixel(x, y), 16).toStdString();
    return "";
}

class QtDensity : public QtFormTest {
protected:
    void SetUp() override {
        makeForm(6000, 4000);
        date = add<TavoCalendarDropDown>(TavoCalendarDropDown::kProgId, "Cal1", Placement{300, 300, 3600, 1500});
        strip = add<TavoSSTreeController>("TavoSSAddOn.TavoSSTreeController", "Ctl1", Placement{300, 2100, 1080, 225});
        form->window().show();
        pump();
    }
    QWidget* widgetOf(const std::shared_ptr<Image>& i) { return static_cast<QtImage&>(*i).widget(); }
    // Device pixels a picture of `pixels` covers on this screen.
    QSize deviceSize(QSize pixels, qreal ratio) {
        const QSizeF logical = pictureSize(pixels, host.twipsPerPixelX(), host.twipsPerPixelY());
        return QSize(qRound(logical.width() * ratio), qRound(logical.height() * ratio));
    }

    std::shared_ptr<TavoCalendarDropDown> date;
    std::shared_ptr<TavoSSTreeController> strip;
};

// The right end of what a widget draws, in device pixels of its parent.
int drawnRight(QWidget* w) {
    const QImage drawn = rendered(w);
    int right = -1;
    for (int y = 0; y < drawn.height(); ++y)
        for (int x = right + 1; x < drawn.width(); ++x)
            if (qAlpha(drawn.pixel(x, y)) > 0) right = x;
    return qRound(w->x() * w->devicePixelRatioF()) + right;
}

TEST_F(QtDensity, TheTreeStripKeepsItsButtonsInsideItsFrame) {
    QWidget* frame = widgetOf(strip->imgBack());
    const int frameRight = drawnRight(frame);
    const qreal ratio = frame->devicePixelRatioF();
    EXPECT_LE(std::abs(frameRight + 1 - frame->parentWidget()->width() * ratio), 1.0)
        << "the frame is as wide as the control";
    for (int k = 0; k < TavoSSTreeController::kButtonCount; ++k)
        EXPECT_LT(drawnRight(widgetOf(strip->img(k))), frameRight) << "button " << k;
}

// Each picture drawn at the device pixels it covers, one device pixel of the
// drawing to one of the screen; the controls' own ones in whole pixels.
TEST_F(QtDensity, PicturesAreDrawnForTheScreensPixelRatio) {
    for (int k : {0, 3}) {
        QWidget* w = widgetOf(strip->img(k));
        const QImage design = pictureImage(strip->img(k)->picture());
        const QSize device = deviceSize(design.size(), w->devicePixelRatioF());
        const QImage expected = premultiplied(scalePicture(design, PictureScaling::Pixels, device));
        const QImage shown = premultiplied(rendered(w).copy(QRect(QPoint(), device)));
        EXPECT_EQ(firstDifference(shown, expected), "") << "button " << k;
        const int whole = device.width() / design.width();
        if (device != design.size() * whole) continue;
        for (int y = 0; y < device.height(); ++y)
            for (int x = 0; x < device.width(); ++x)
                ASSERT_EQ(shown.pixel(x, y), premultiplied(design).pixel(x / whole, y / whole)) << "button " << k;
    }
}

TEST_F(QtDensity, TheDropButtonShowsItsPictureWithoutTheMaskColour) {
    auto* b = static_cast<QAbstractButton*>(dropButton(*date));
    const qreal ratio = b->devicePixelRatioF();
    const QImage design = pictureImage(date->cmd()->picture(), kLightGrey);
    const QSize device = deviceSize(design.size(), ratio);
    const QImage icon = b->icon().pixmap(b->iconSize(), ratio).toImage();
    EXPECT_LE(std::abs(icon.width() - device.width()), 1);
    EXPECT_LE(std::abs(icon.height() - device.height()), 1);
    EXPECT_EQ(qAlpha(icon.pixel(0, 0)), 0) << "the grey around the sheet is the button's face";
    EXPECT_EQ(qAlpha(icon.pixel(icon.width() / 2, icon.height() / 2)), 255) << "the page";

    // An application's picture is scaled smoothly.
    IndexedImage own;
    own.width = own.height = 4;
    own.palette = {0x000000u, 0xFFFFFFu};
    own.pixels = {0, 1, 0, 1, 1, 0, 1, 0, 0, 1, 0, 1, 1, 0, 1, 0};
    date->setPicture(gif(own));
    date->setPictureType(0);
    const QImage shown = b->icon().pixmap(b->iconSize(), ratio).toImage();
    EXPECT_EQ(shown.size(), deviceSize(QSize(4, 4), ratio));
    if (ratio > 1) {
        EXPECT_NE(qGray(shown.pixel(1, 1)) % 255, 0) << "blended, not whole pixels";
    }
}

TEST_F(QtDensity, PictureHoldersLieUnderTheDateBoxOfATallControl) {
    QWidget* box = edit(*date);
    QWidget* surface = box->parentWidget();
    for (int i = 0; i < 3; ++i) {
        QWidget* holder = widgetOf(date->imgDropDown(i));
        const QRect onSurface = holder->geometry() & surface->rect();
        ASSERT_TRUE(box->geometry().contains(onSurface)) << "the box covers holder " << i;
        EXPECT_NE(surface->childAt(onSurface.center()), holder) << "holder " << i << " is seen";
    }
}

}  // namespace
}  // namespace tavo
