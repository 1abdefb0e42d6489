#include "app/frmSQL.h"

#include <QApplication>
#include <QLayout>
#include <QMenuBar>
#include <QMouseEvent>
#include <QResizeEvent>
#include <QStyle>
#include <exception>
#include <functional>

#include "app/default_font.h"
#include "app/design.h"
#include "app/error_report.h"
#include "app/platform/qt_file_dialog.h"
#include "app/platform/qt_message_box.h"
#include "app/twips.h"
#include "editing/insert_text.h"
#include "editing/query_file.h"
#include "query/statement.h"

namespace app {

namespace {
constexpr const char* kTabIndexProperty = "TabIndex";
constexpr int16_t kShiftKey = 1;
constexpr int16_t kCtrlKey = 2;
constexpr int16_t kAltKey = 4;

void Place(QWidget* w, const TwipsBox& b) {
  w->setGeometry(TwipsRect(b.left, b.top, b.width, b.height));
}

int16_t ButtonOf(Qt::MouseButton b) {
  switch (b) {
    case Qt::LeftButton:
      return kLeftButton;
    case Qt::RightButton:
      return kRightButton;
    case Qt::MiddleButton:
      return kMiddleButton;
    default:
      return 0;
  }
}

int16_t ShiftOf(Qt::KeyboardModifiers m) {
  int16_t s = 0;
  if (m & Qt::ShiftModifier) s |= kShiftKey;
  if (m & Qt::ControlModifier) s |= kCtrlKey;
  if (m & Qt::AltModifier) s |= kAltKey;
  return s;
}

// Any failure that is not already one of ours becomes an internal error.
template <typename Fn>
void Trapped(Fn&& fn, const std::function<void(const jet::Error&)>& trap) {
  try {
    fn();
  } catch (const jet::Error& e) {
    trap(e);
  } catch (const std::exception& e) {
    trap(errors::Internal(e.what()));
  }
}
}  // namespace

frmSQL::frmSQL(std::shared_ptr<db::FileEngine> engine, Platform p)
    : message_box_(p.message_box ? std::move(p.message_box)
                                 : std::make_unique<platform::QtMessageBox>(this)),
      std_db_(p.std_db ? std::move(p.std_db) : std::make_unique<platform::QtFileDialog>(this)),
      std_abfrage_(p.std_abfrage ? std::move(p.std_abfrage)
                                 : std::make_unique<platform::QtFileDialog>(this)),
      files_(std::move(engine)),
      dbengine_(files_),
      stdDB(*std_db_),
      stdAbfrage(*std_abfrage_) {
  setWindowTitle("SQL-Editor");
  CreateMenus();
  CreateControls();
  ApplyDefaultFont();
  SetTabOrder();
  resize(TwipsToPixelsX(kDesignClientWidth),
         TwipsToPixelsY(kDesignClientHeight) + menuBar()->sizeHint().height());
}

frmSQL::~frmSQL() = default;

void frmSQL::CreateMenus() {
  mnuDatenbank = menuBar()->addMenu("Datenbank");
  mnuDatenbank->setObjectName("mnuDatenbank");
  mnu_Datenbank = {mnuDatenbank->addAction("Laden"), mnuDatenbank->addAction("Ende")};
  mnuAbfrage = menuBar()->addMenu("Abfrage");
  mnuAbfrage->setObjectName("mnuAbfrage");
  mnu_Abfrage = {mnuAbfrage->addAction("laden"), mnuAbfrage->addAction("speichern")};
  for (int16_t i = 0; i < static_cast<int16_t>(mnu_Datenbank.size()); ++i) {
    mnu_Datenbank[static_cast<size_t>(i)]->setObjectName("mnu_Datenbank");
    connect(mnu_Datenbank[static_cast<size_t>(i)], &QAction::triggered, this,
            [this, i] { mnu_Datenbank_Click(i); });
  }
  for (int16_t i = 0; i < static_cast<int16_t>(mnu_Abfrage.size()); ++i) {
    mnu_Abfrage[static_cast<size_t>(i)]->setObjectName("mnu_Abfrage");
    connect(mnu_Abfrage[static_cast<size_t>(i)], &QAction::triggered, this,
            [this, i] { mnu_Abfrage_Click(i); });
  }
}

void frmSQL::CreateControls() {
  auto* client = new QWidget(this);
  setCentralWidget(client);

  txtSQL = new SqlTextBox(client);
  txtSQL->setObjectName("txtSQL");
  txtSQL->setFont(EditorFont());
  txtSQL->SetText(kDefaultStatement);
  Place(txtSQL, kTxtSQL);

  Data1 = new query::DataControl(files_, client);
  Data1->setObjectName("Data1");
  Data1->SetConnect(kDataConnect);
  Place(Data1, kData1);

  fgridQuery = new query::FlexGrid(client);
  fgridQuery->setObjectName("fgridQuery");
  Place(fgridQuery, kFgridQuery);
  Data1->Bind(fgridQuery);
  Data1->stackUnder(fgridQuery);

  cmdQuery = new QPushButton("Abfrage", client);
  cmdQuery->setObjectName("cmdQuery");
  cmdQuery->setAutoDefault(false);
  cmdQuery->setDefault(false);
  Place(cmdQuery, kCmdQuery);
  connect(cmdQuery, &QPushButton::clicked, this, [this] { cmdQuery_Click(); });

  lstTabellen = new QListWidget(client);
  lstTabellen->setObjectName("lstTabellen");
  Place(lstTabellen, kLstTabellen);
  lstTabellen->viewport()->installEventFilter(this);
  connect(lstTabellen, &QListWidget::currentRowChanged, this, [this](int row) {
    if (filling_lists_ || row < 0) return;
    // A direct user selection has no caller with a trap: report here.
    Trapped([this] { lstTabellen_Click(); }, [this](const jet::Error& e) { showerror(e); });
  });

  lstFelder = new QListWidget(client);
  lstFelder->setObjectName("lstFelder");
  Place(lstFelder, kLstFelder);
  lstFelder->viewport()->installEventFilter(this);

  lblTabelle = new QLabel("Tabellen:", client);
  lblTabelle->setObjectName("lblTabelle");
  Place(lblTabelle, kLblTabelle);
  lblFelder = new QLabel("Felder:", client);
  lblFelder->setObjectName("lblFelder");
  Place(lblFelder, kLblFelder);
  lblGridSize = new QLabel(client);
  lblGridSize->setObjectName("lblGridSize");
  Place(lblGridSize, kLblGridSize);
  for (QLabel* l : {lblTabelle, lblFelder, lblGridSize}) {
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    l->setMargin(0);
    l->setIndent(0);
  }
}

void frmSQL::ApplyDefaultFont() {
  // The button's caption has the button's frame around it.
  const int button_margin = cmdQuery->style()->pixelMetric(QStyle::PM_ButtonMargin) * 2;
  const std::vector<CaptionBox> captions = {
      {lblTabelle->text(), lblTabelle->size()},
      {lblFelder->text(), lblFelder->size()},
      {lblGridSize->text(), lblGridSize->size()},
      {cmdQuery->text(), cmdQuery->size() - QSize(button_margin, button_margin)},
  };
  const QFont font = ChooseDefaultFont(QApplication::font(), captions);
  setFont(font);
  txtSQL->setFont(EditorFont());
}

void frmSQL::SetTabOrder() {
  const std::vector<std::pair<QWidget*, int>> order = {
      {txtSQL, kTabTxtSQL},           {fgridQuery, kTabFgridQuery},  {cmdQuery, kTabCmdQuery},
      {lstTabellen, kTabLstTabellen}, {lstFelder, kTabLstFelder},    {lblTabelle, kTabLblTabelle},
      {lblFelder, kTabLblFelder},     {lblGridSize, kTabLblGridSize}};
  for (const auto& [w, index] : order) w->setProperty(kTabIndexProperty, index);
  QWidget::setTabOrder(txtSQL, fgridQuery);
  QWidget::setTabOrder(fgridQuery, cmdQuery);
  QWidget::setTabOrder(cmdQuery, lstTabellen);
  QWidget::setTabOrder(lstTabellen, lstFelder);
}

void frmSQL::SetMousePointer(int pointer) {
  mouse_pointer_ = pointer;
  if (pointer == kPointerHourglass) {
    setCursor(Qt::WaitCursor);
  } else {
    unsetCursor();
  }
}

void frmSQL::showerror(const jet::Error& error) {
  ShowErrorReport(*message_box_, error);
}

QString frmSQL::ListText(const QListWidget* list) {
  const QListWidgetItem* item = list->currentItem();
  return item ? item->text() : QString();
}

// ---- Running the statement -------------------------------------------------------------

void frmSQL::cmdQuery_Click() {
  Trapped(
      [this] {
        SetMousePointer(kPointerHourglass);
        const std::string text = txtSQL->Text().toStdString();
        if (query::IsRowReturning(text)) {
          Data1->SetRecordSource(txtSQL->Text().toStdString());
          Data1->Refresh();
          lblGridSize->setText(
              QString::fromStdString(query::SizeCaption(fgridQuery->Rows(), fgridQuery->Cols())));
        } else {
          if (!db) throw errors::ObjectNotSet();
          db->Execute(txtSQL->Text().toStdString());
          db = dbengine_.OpenDatabase(stdDB.FileName());
          filltables();
        }
        SetMousePointer(kPointerDefault);
      },
      [this](const jet::Error& e) {
        SetMousePointer(kPointerDefault);
        showerror(e);
      });
}

// ---- Table preview ---------------------------------------------------------------------

void frmSQL::lstTabellen_MouseDown(int16_t button, int16_t /*shift*/, float /*x*/, float /*y*/) {
  Trapped(
      [this, button] {
        if (button != kRightButton) return;
        lstTabellen_Click();
        SetMousePointer(kPointerHourglass);
        Data1->SetRecordSource(query::PreviewStatement(ListText(lstTabellen).toStdString()));
        Data1->Refresh();
        lblGridSize->setText(
            QString::fromStdString(query::SizeCaption(fgridQuery->Rows(), fgridQuery->Cols())));
        SetMousePointer(kPointerDefault);
      },
      [this](const jet::Error& e) {
        SetMousePointer(kPointerDefault);
        showerror(e);
      });
}

// ---- Table and field lists -------------------------------------------------------------

void frmSQL::filltables() {
  {
    const QSignalBlocker quiet(lstTabellen);
    lstTabellen->clear();
  }
  if (!db) throw errors::ObjectNotSet();
  const int16_t n = db->TableDefs().Count();
  int16_t last = 0;
  if (__builtin_sub_overflow(n, int16_t{1}, &last)) {
    throw errors::Overflow();
  }
  for (int i = 0; i <= last; ++i) {
    const uint32_t attributes = db->TableDefs().Item(i)->Attributes();
    if ((attributes & db::kDbSystemObject) == 0) {
      lstTabellen->addItem(QString::fromStdString(db->TableDefs().Item(i)->Name()));
    }
  }
  SetTablesListIndex(0);
}

void frmSQL::SetTablesListIndex(int index) {
  if (index < 0 || index >= lstTabellen->count()) {
    throw errors::InvalidPropertyValue();
  }
  {
    const QSignalBlocker quiet(lstTabellen);
    lstTabellen->setCurrentRow(index);
  }
  lstTabellen_Click();
}

void frmSQL::lstTabellen_Click() {
  lstFelder->clear();
  if (!db) throw errors::ObjectNotSet();
  tdf = db->TableDefs().Item(ListText(lstTabellen).toStdString());
  for (const db::Field& f : tdf->Fields()) {
    fld = f;
    lstFelder->addItem(QString::fromStdString(fld->Name()));
  }
}

// ---- Name insertion --------------------------------------------------------------------

void frmSQL::inserttxt(const QString& intext) {
  const int32_t p = txtSQL->SelStart();
  const editing::EditorState before{txtSQL->Text(), txtSQL->SelStart(), txtSQL->SelLength()};
  const editing::EditorState after = editing::InsertText(before, p, intext);
  // The same change as a replacement of the selection, so that Undo takes it back in one step.
  txtSQL->ReplaceRange(before.sel_start, before.sel_length, intext);
  txtSQL->SetSelStart(after.sel_start);
  txtSQL->setFocus(Qt::OtherFocusReason);
}

void frmSQL::lstTabellen_DblClick() {
  inserttxt(editing::Bracketed(ListText(lstTabellen)));
}

void frmSQL::lstFelder_DblClick() {
  inserttxt(editing::Bracketed(ListText(lstFelder)));
}

// ---- Menus -----------------------------------------------------------------------------

void frmSQL::mnu_Datenbank_Click(int16_t index) {
  if (index == kMenuEnde) {
    // Ends at once: no question, nothing saved.
    QCoreApplication::exit(0);
    return;
  }
  if (index != kMenuLaden) return;
  Trapped(
      [this] {
        stdDB.SetFilter(kDbFilter);
        stdDB.SetFlags(kDbFlags);
        stdDB.SetCancelError(true);
        stdDB.SetDialogTitle(kDbTitle);
        stdDB.ShowOpen();
        db = dbengine_.OpenDatabase(stdDB.FileName());
        Data1->SetDatabaseName(stdDB.FileName());
        filltables();
      },
      [this](const jet::Error& e) {
        if (e.number() != platform::kCancelErrorNumber) showerror(e);
      });
}

void frmSQL::mnu_Abfrage_Click(int16_t index) {
  if (index == kMenuAbfrageLaden) {
    LoadQueryFile();
  } else if (index == kMenuAbfrageSpeichern) {
    SaveQueryFile();
  }
}

// Query files run with every error ignored: a failed dialog (a cancel included) ends the
// command, a file that cannot be read reads as empty, a file that cannot be written is left.
void frmSQL::LoadQueryFile() {
  try {
    stdAbfrage.SetDefaultExt(kQueryDefaultExt);
    stdAbfrage.SetFilter(kQueryFilter);
    stdAbfrage.SetCancelError(true);
    stdAbfrage.SetFlags(kQueryOpenFlags);
    stdAbfrage.SetDialogTitle(kQueryOpenTitle);
    stdAbfrage.ShowOpen();
  } catch (const jet::Error&) {
    return;
  }
  editing::QueryFileReader channel(stdAbfrage.FileName());
  txtSQL->SetText(QString());
  QString text;
  while (!channel.AtEnd()) {
    linebuf = channel.ReadLine();
    text += linebuf + editing::kLineEnd;
  }
  txtSQL->SetText(text);
}

void frmSQL::SaveQueryFile() {
  try {
    stdAbfrage.SetDefaultExt(kQueryDefaultExt);
    stdAbfrage.SetFilter(kQueryFilter);
    stdAbfrage.SetCancelError(true);
    stdAbfrage.SetFlags(kQuerySaveFlags);
    stdAbfrage.SetDialogTitle(kQuerySaveTitle);
    stdAbfrage.ShowSave();
  } catch (const jet::Error&) {
    return;
  }
  linebuf = txtSQL->Text();
  editing::WriteQueryFile(stdAbfrage.FileName(), linebuf);
}

// ---- Layout ----------------------------------------------------------------------------

void frmSQL::Form_Resize() {
  LayoutOnResize(*this);
}

void frmSQL::resizeEvent(QResizeEvent* event) {
  QMainWindow::resizeEvent(event);
  Trapped([this] { Form_Resize(); }, [this](const jet::Error& e) { showerror(e); });
  // A size set while the window was still being shown arrives without a resize event of its
  // own; lay the client area out for the size the window has now.
  if (layout() && size() != event->size()) {
    layout()->invalidate();
    layout()->activate();
  }
}

bool frmSQL::IsMinimized() const {
  return isMinimized();
}
float frmSQL::Width() const {
  return PixelsToTwipsX(frameGeometry().width());
}
float frmSQL::Height() const {
  return PixelsToTwipsY(frameGeometry().height());
}

void frmSQL::SetWidth(float twips) {
  const int frame = frameGeometry().width() - width();
  resize(TwipsToPixelsCeilX(twips) - frame, height());
}

void frmSQL::SetHeight(float twips) {
  const int frame = frameGeometry().height() - height();
  resize(width(), TwipsToPixelsCeilY(twips) - frame);
}

float frmSQL::ScaleWidth() const {
  return PixelsToTwipsX(width());
}

float frmSQL::ScaleHeight() const {
  int menu = 0;
  if (const QWidget* bar = menuWidget()) {
    menu = bar->heightForWidth(width());
    if (menu < 0) menu = bar->sizeHint().height();
  }
  return PixelsToTwipsY(height() - menu);
}

float frmSQL::GridLeft() const {
  return PixelsToTwipsX(fgridQuery->x());
}
float frmSQL::GridTop() const {
  return PixelsToTwipsY(fgridQuery->y());
}
float frmSQL::GridWidth() const {
  return PixelsToTwipsX(fgridQuery->width());
}

void frmSQL::SetGridWidth(float twips) {
  fgridQuery->resize(std::max(0, TwipsToPixelsX(twips)), fgridQuery->height());
}
void frmSQL::SetGridHeight(float twips) {
  fgridQuery->resize(fgridQuery->width(), std::max(0, TwipsToPixelsY(twips)));
}
void frmSQL::SetEditorWidth(float twips) {
  txtSQL->resize(std::max(0, TwipsToPixelsX(twips)), txtSQL->height());
}

// ---- Events the controls report --------------------------------------------------------

bool frmSQL::eventFilter(QObject* watched, QEvent* event) {
  const bool tables = watched == lstTabellen->viewport();
  const bool fields = watched == lstFelder->viewport();
  if (!tables && !fields) return QMainWindow::eventFilter(watched, event);
  const auto report = [this](const jet::Error& e) { showerror(e); };
  if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick) {
    auto* me = static_cast<QMouseEvent*>(event);
    const int16_t button = ButtonOf(me->button());
    if (event->type() == QEvent::MouseButtonDblClick && button == kLeftButton) {
      Trapped([this, tables] { tables ? lstTabellen_DblClick() : lstFelder_DblClick(); }, report);
      return true;
    }
    if (tables) {
      const QPointF pos = me->position();
      lstTabellen_MouseDown(button, ShiftOf(me->modifiers()),
                            PixelsToTwipsX(static_cast<int>(pos.x())),
                            PixelsToTwipsY(static_cast<int>(pos.y())));
    }
    // Only the left button selects an entry.
    return button != kLeftButton;
  }
  return QMainWindow::eventFilter(watched, event);
}

}  // namespace app
