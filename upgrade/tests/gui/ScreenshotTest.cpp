// Takes real screenshots of the progress window from an X server (run under xvfb-run), to show
// that the text and the animation reach the screen and are not a blank window.

#include "MainWindow.h"
#include "Upgrade.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QImage>
#include <QLabel>
#include <QScreen>
#include <QTest>
#include <QWindow>

#include <gtest/gtest.h>

#include <set>

namespace {

using namespace std::chrono_literals;
using namespace upgrade::test;

QImage grab(const QWidget& part) {
    const QPoint origin = part.mapToGlobal(QPoint(0, 0));
    return QGuiApplication::primaryScreen()
        ->grabWindow(0, origin.x(), origin.y(), part.width(), part.height())
        .toImage()
        .convertToFormat(QImage::Format_RGB32);
}

int darkPixels(const QImage& image) {
    int count = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            count += qGray(image.pixel(x, y)) < 128 ? 1 : 0;
    return count;
}

int distinctColours(const QImage& image) {
    std::set<QRgb> colours;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            colours.insert(image.pixel(x, y));
    return static_cast<int>(colours.size());
}

TEST(ProgressWindowScreenshot, ShowsTitleTextAndAMovingAnimation) {
    TemporaryFolder folder;
    FakeProgram package(folder.path(), "setup");
    package.setSleep(3000ms); // keeps the window up while the screenshots are taken
    MainWindow window("Scanner", package.path().string());
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window, 5000));
    QTest::qWait(300);

    const QImage whole = grab(window);
    whole.save(
        QString::fromStdString((fs::temp_directory_path() / "obupgrade-progress-window.png").string()));
    EXPECT_GT(distinctColours(whole), 8) << "the window is blank";

    // No window manager runs under plain Xvfb, so no frame draws the title; the title the X server
    // holds for the window is what a window manager would draw.
    ASSERT_NE(window.windowHandle(), nullptr);
    EXPECT_EQ(window.windowHandle()->title(), "Installation");

    const auto* text = window.findChild<QLabel*>("label_text");
    EXPECT_GT(darkPixels(grab(*text)), 50) << "the text is not drawn";

    const auto* gif = window.findChild<QLabel*>("label_gif");
    const QImage first = grab(*gif);
    EXPECT_EQ(first.size(), QSize(41, 41));
    EXPECT_GT(distinctColours(first), 4) << "the animation is not drawn";
    // Frames change every 80 ms; look a few times so a slow server does not make the test flaky.
    bool moved = false;
    for (int attempt = 0; attempt < 10 && !moved; ++attempt) {
        QTest::qWait(100);
        moved = grab(*gif) != first;
    }
    EXPECT_TRUE(moved) << "the animation does not move";
}

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "xcb"); // a real X server, never the offscreen platform
    ::testing::InitGoogleTest(&argc, argv);
    QApplication application(argc, argv);
    upgrade::ResourceBundle resources;
    return RUN_ALL_TESTS();
}
