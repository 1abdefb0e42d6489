// The resize handling: minimum outer size reset in both dimensions, editor and grid following
// the window, nothing while minimized.

#include <QTest>

#include "app/design.h"
#include "app/layout.h"
#include "app/twips.h"
#include "gui/support/window_fixture.h"

using testing_gui::Window;

namespace {

// A window of plain numbers with a frame around the client area; setting the outer size runs
// the handling again, nested, as the real window does.
class PaperWindow : public app::ResizableWindow {
 public:
  float frame_w = 240, frame_h = 1305;
  float width = 9495 + 240, height = 8310 + 1305;
  float grid_left = 120, grid_top = 4560, grid_width = 9255, grid_height = 3975;
  float editor_width = 9255;
  bool minimized = false;
  int runs = 0;

  bool IsMinimized() const override { return minimized; }
  float Width() const override { return width; }
  float Height() const override { return height; }
  void SetWidth(float v) override {
    if (v == width) return;
    width = v;
    Run();
  }
  void SetHeight(float v) override {
    if (v == height) return;
    height = v;
    Run();
  }
  float ScaleWidth() const override { return width - frame_w; }
  float ScaleHeight() const override { return height - frame_h; }
  float GridLeft() const override { return grid_left; }
  float GridTop() const override { return grid_top; }
  float GridWidth() const override { return grid_width; }
  void SetGridWidth(float v) override { grid_width = v; }
  void SetGridHeight(float v) override { grid_height = v; }
  void SetEditorWidth(float v) override { editor_width = v; }
  void Run() {
    ++runs;
    app::LayoutOnResize(*this);
  }
};

}  // namespace

class LayoutTest : public QObject {
  Q_OBJECT

 private slots:
  // Too narrow, too low or both: both dimensions go back to the minimum; otherwise the window
  // keeps its size. Editor and grid follow the window either way.
  void windowSizeIsClampedAndGridAndEditorFollow() {
    struct Case {
      float width, height, expected_width, expected_height;
    };
    for (const Case& c : {Case{9000, 9000, 9500, 9615}, Case{15000, 9000, 9500, 9615},
                          Case{9000, 12000, 9500, 9615}, Case{15000, 12000, 15000, 12000}}) {
      PaperWindow p;
      p.width = c.width;
      p.height = c.height;
      p.Run();
      QCOMPARE(p.width, c.expected_width);
      QCOMPARE(p.height, c.expected_height);
      if (c.expected_width != c.width) QVERIFY(p.runs >= 3);  // each assignment ran it again
      QCOMPARE(p.grid_width, c.expected_width - 240 - 240);
      QCOMPARE(p.editor_width, p.grid_width);
      QCOMPARE(p.grid_height, c.expected_height - 1305 - 120 - 4560);
    }
  }

  void minimizedDoesNothing() {
    PaperWindow p;
    p.width = 100;
    p.height = 100;
    p.grid_width = 1;
    p.minimized = true;
    p.Run();
    QCOMPARE(p.width, 100.0f);
    QCOMPARE(p.grid_width, 1.0f);
  }

  void floatingPointFaultIsAnOverflowError() {
    PaperWindow p;
    p.width = std::numeric_limits<float>::infinity();
    p.height = 12000;
    p.frame_w = std::numeric_limits<float>::infinity();
    try {
      p.Run();
      QFAIL("no error");
    } catch (const jet::Error& e) {
      QCOMPARE(e.number(), jet::err::kOverflow);
    }
  }

  // The real window: shown, it never rests below the minimum, and the middle band stays put.
  void realWindowSnapsBackAndFollowsItsSize() {
    Window t;
    app::frmSQL& w = *t.w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    const int min_w = app::TwipsToPixelsCeilX(app::kMinOuterWidth);
    const int min_h = app::TwipsToPixelsCeilY(app::kMinOuterHeight);
    QCOMPARE(w.frameGeometry().width(), min_w);  // the design size is below the minimum here
    QCOMPARE(w.frameGeometry().height(), min_h);

    w.resize(w.width() + 300, w.height() + 200);
    QCOMPARE(w.frameGeometry().width(), min_w + 300);
    QCOMPARE(w.fgridQuery->width(), w.centralWidget()->width() - 2 * w.fgridQuery->x());
    QCOMPARE(w.txtSQL->width(), w.fgridQuery->width());
    QCOMPARE(w.fgridQuery->y() + w.fgridQuery->height() + w.fgridQuery->x(),
             w.centralWidget()->height());
    QCOMPARE(w.cmdQuery->geometry(), app::TwipsRect(7800, 2640, 1455, 615));
    QCOMPARE(w.lstFelder->geometry(), app::TwipsRect(4560, 2640, 3015, 1815));

    w.resize(w.width() + 300, 200);  // wide enough, too low: both reset
    QCOMPARE(w.frameGeometry().width(), min_w);
    QCOMPARE(w.frameGeometry().height(), min_h);

    w.resize(200, w.height() + 100);  // high enough, too narrow: both reset
    QCOMPARE(w.frameGeometry().width(), min_w);
    QCOMPARE(w.frameGeometry().height(), min_h);
    QCOMPARE(w.txtSQL->width(), w.fgridQuery->width());
    QCOMPARE(w.txtSQL->geometry().topLeft(), app::TwipsRect(120, 120, 0, 0).topLeft());
    QCOMPARE(w.txtSQL->height(), app::TwipsToPixelsY(2415));
  }
};

QTEST_MAIN(LayoutTest)
#include "layout_test.moc"
