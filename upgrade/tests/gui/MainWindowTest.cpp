#include "MainWindow.h"
#include "support/TestSupport.h"

#include <QApplication>
#include <QBoxLayout>
#include <QElapsedTimer>
#include <QImageReader>
#include <QLabel>
#include <QMenuBar>
#include <QMovie>
#include <QStatusBar>
#include <QTest>
#include <QTranslator>

#include <gtest/gtest.h>

namespace {

using namespace std::chrono_literals;
using namespace upgrade::test;

// One line per layout item: "spacer WxH horizontalPolicy verticalPolicy", "layout <name>" or
// "widget <name>", so a whole layout compares as one list.
QStringList describe(QLayout* layout) {
    QStringList items;
    for (int i = 0; i < layout->count(); ++i) {
        QLayoutItem* item = layout->itemAt(i);
        if (QSpacerItem* spacer = item->spacerItem()) {
            const QSizePolicy policy = spacer->sizePolicy();
            items << QString("spacer %1x%2 %3 %4")
                         .arg(spacer->sizeHint().width())
                         .arg(spacer->sizeHint().height())
                         .arg(policy.horizontalPolicy())
                         .arg(policy.verticalPolicy());
        } else if (item->layout() != nullptr) {
            items << "layout " + item->layout()->objectName();
        } else if (item->widget() != nullptr) {
            items << "widget " + item->widget()->objectName();
        }
    }
    return items;
}

QString spacer(int width, int height, QSizePolicy::Policy horizontal, QSizePolicy::Policy vertical) {
    return QString("spacer %1x%2 %3 %4").arg(width).arg(height).arg(horizontal).arg(vertical);
}

class MainWindowTest : public ::testing::Test {
protected:
    TemporaryFolder m_folder;
    FakeProgram m_package{m_folder.path(), "setup"};

    // A package that keeps the window up while the test looks at it.
    std::unique_ptr<MainWindow> makeWindow(std::chrono::milliseconds packageRuns = 300ms) {
        m_package.setSleep(packageRuns);
        return std::make_unique<MainWindow>("Scanner", m_package.path().string());
    }
};

TEST_F(MainWindowTest, BuildsTheWidgetTreeOfTheForm) {
    auto window = makeWindow();
    EXPECT_EQ(window->objectName(), "MainWindow");
    EXPECT_EQ(window->size(), QSize(460, 152));

    QWidget* central = window->centralWidget();
    ASSERT_NE(central, nullptr);
    EXPECT_EQ(central->objectName(), "centralwidget");
    auto* vertical = qobject_cast<QVBoxLayout*>(central->layout());
    ASSERT_NE(vertical, nullptr);
    EXPECT_EQ(vertical->objectName(), "verticalLayout");
    const auto expanding = QSizePolicy::Expanding;
    const auto minimum = QSizePolicy::Minimum;
    EXPECT_EQ(describe(vertical),
              QStringList({spacer(20, 1, minimum, expanding), "layout horizontalLayout_2",
                           "layout horizontalLayout", spacer(20, 2, minimum, expanding)}));

    auto* gifRow = central->findChild<QHBoxLayout*>("horizontalLayout_2");
    auto* textRow = central->findChild<QHBoxLayout*>("horizontalLayout");
    ASSERT_NE(gifRow, nullptr);
    ASSERT_NE(textRow, nullptr);
    const QString side = spacer(40, 20, expanding, minimum);
    EXPECT_EQ(describe(gifRow), QStringList({side, "widget label_gif", side}));
    EXPECT_EQ(describe(textRow), QStringList({side, "widget label_text", side}));

    auto* gif = window->findChild<QLabel*>("label_gif");
    auto* text = window->findChild<QLabel*>("label_text");
    ASSERT_NE(gif, nullptr);
    ASSERT_NE(text, nullptr);
    EXPECT_EQ(gif->parentWidget(), central);
    EXPECT_EQ(text->parentWidget(), central);
    EXPECT_EQ(gif->minimumSize(), QSize(41, 41));
    EXPECT_EQ(gif->maximumSize(), QSize(41, 41));

    ASSERT_NE(window->menuBar(), nullptr);
    EXPECT_EQ(window->menuBar()->objectName(), "menubar");
    EXPECT_EQ(window->menuBar()->geometry(), QRect(0, 0, 460, 22));
    EXPECT_EQ(window->statusBar()->objectName(), "statusbar");
}

TEST_F(MainWindowTest, HasTitleBarWithoutCloseButton) {
    auto window = makeWindow();
    const Qt::WindowFlags flags = window->windowFlags();
    // 0x200D000 as set; Qt adds the system-menu hint itself whenever a minimise button is asked for.
    const Qt::WindowFlags requested = Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                                      Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint;
    ASSERT_EQ(int(requested), 0x200D000);
    EXPECT_EQ(flags & ~Qt::WindowType_Mask & ~Qt::WindowSystemMenuHint, requested);
    EXPECT_FALSE(flags.testFlag(Qt::WindowCloseButtonHint));
    EXPECT_TRUE(window->isWindow());
    EXPECT_EQ(window->windowTitle(), "Installation");
    EXPECT_EQ(window->findChild<QLabel*>("label_text")->text(), "Installation in progress, please wait...");
}

TEST_F(MainWindowTest, PlaysTheWaitingAnimationAt41Pixels) {
    QImageReader original(":images/image_rsc/logo/waiting.gif");
    EXPECT_EQ(original.size(), QSize(128, 128));
    EXPECT_EQ(original.imageCount(), 12);
    EXPECT_TRUE(original.supportsAnimation());

    auto window = makeWindow();
    window->show();
    auto* gif = window->findChild<QLabel*>("label_gif");
    QMovie* movie = gif->movie();
    ASSERT_NE(movie, nullptr);
    EXPECT_EQ(movie->fileName(), ":images/image_rsc/logo/waiting.gif");
    EXPECT_EQ(movie->cacheMode(), QMovie::CacheAll);
    EXPECT_EQ(movie->state(), QMovie::Running);
    EXPECT_EQ(movie->scaledSize(), QSize(41, 41));
    EXPECT_EQ(movie->currentPixmap().size(), QSize(41, 41));
    EXPECT_EQ(gif->size(), QSize(41, 41));
    EXPECT_TRUE(gif->isVisible());
}

TEST_F(MainWindowTest, ShowsTheChineseTextsWithTheTranslationInstalled) {
    QTranslator translator;
    ASSERT_TRUE(translator.load(":translation/upgrade/Upgrade_zh_CN.qm"));
    QCoreApplication::installTranslator(&translator);
    auto window = makeWindow();
    EXPECT_EQ(window->windowTitle(), QString::fromUtf8("安装"));
    EXPECT_EQ(window->findChild<QLabel*>("label_text")->text(), QString::fromUtf8("安装中，请稍候..."));
}

TEST(UpgradeTranslation, HoldsTheSevenTexts) {
    QTranslator translator;
    ASSERT_TRUE(translator.load(":translation/upgrade/Upgrade_zh_CN.qm"));
    const struct {
        const char* context;
        const char* source;
        const char* translation;
    } kTexts[] = {
        {"MainWindow", "Installation", "安装"},
        {"MainWindow", "Installation in progress, please wait...", "安装中，请稍候..."},
        {"QObject", "error", "错误"},
        {"QObject", "install failed!", "安装失败！"},
        {"QObject", "install succeed!", "安装成功！"},
        {"QObject", "tip", "提示"},
        {"QObject", "yes", "确定"},
    };
    for (const auto& text : kTexts)
        EXPECT_EQ(translator.translate(text.context, text.source), QString::fromUtf8(text.translation))
            << text.context << " / " << text.source;
    EXPECT_TRUE(translator.translate("QObject", "Installation").isEmpty()); // contexts are kept apart
}

struct OutcomeCase {
    const char* name;
    int exitCode;
    bool succeeded;
};

class MainWindowOutcome : public ::testing::TestWithParam<OutcomeCase> {};

TEST_P(MainWindowOutcome, ClosesItselfWhenThePackageEnds) {
    TemporaryFolder folder;
    FakeProgram package(folder.path(), "setup");
    package.setExitCode(GetParam().exitCode);
    package.setSleep(200ms);
    MainWindow window("Scanner", package.path().string());
    window.show();
    ASSERT_TRUE(window.isVisible());
    EXPECT_TRUE(QTest::qWaitFor([&] { return !window.isVisible(); }, 5000));
    EXPECT_EQ(window.succeeded(), GetParam().succeeded);
    EXPECT_EQ(package.runs(), std::vector<std::string>{"/verysilent"});
}

INSTANTIATE_TEST_SUITE_P(Outcomes, MainWindowOutcome,
                         ::testing::Values(OutcomeCase{"ExitZero", 0, true},
                                           OutcomeCase{"ExitOne", 1, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(MainWindowTest, DestructorWaitsForTheInstaller) {
    QElapsedTimer clock;
    clock.start();
    makeWindow(400ms).reset();
    // The thread still held the window; the destructor may only return after the package ended.
    EXPECT_GE(clock.elapsed(), 350);
    EXPECT_EQ(m_package.runs().size(), 1u);
    QCoreApplication::processEvents(); // the queued close for a deleted window must be dropped
}

} // namespace
