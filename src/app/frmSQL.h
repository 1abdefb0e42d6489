#ifndef QUORLA_APP_FRMSQL_H_
#define QUORLA_APP_FRMSQL_H_

// The program's one window: the statement editor, the table and field lists, the button that
// runs the statement, the result grid and its data source, the two file dialogs and the menus.
// It owns all of the program's state, and its handlers are the program's logic.

#include <QLabel>
#include <QListWidget>
#include <QMainWindow>
#include <QMenu>
#include <QPushButton>
#include <array>
#include <cstdint>
#include <memory>
#include <optional>

#include "app/layout.h"
#include "app/platform/file_dialog.h"
#include "app/platform/message_box.h"
#include "app/sql_text_box.h"
#include "db/database.h"
#include "db/dbengine.h"
#include "db/field.h"
#include "db/file_engine.h"
#include "db/table_def.h"
#include "jet/error.h"
#include "query/data_control.h"
#include "query/flex_grid.h"

namespace app {

// Mouse pointer values.
inline constexpr int kPointerDefault = 0;
inline constexpr int kPointerHourglass = 11;

// Mouse buttons as the list's mouse-down event reports them.
inline constexpr int16_t kLeftButton = 1;
inline constexpr int16_t kRightButton = 2;
inline constexpr int16_t kMiddleButton = 4;

// Menu item indexes.
inline constexpr int16_t kMenuLaden = 0;
inline constexpr int16_t kMenuEnde = 1;
inline constexpr int16_t kMenuAbfrageLaden = 0;
inline constexpr int16_t kMenuAbfrageSpeichern = 1;

// Settings of the database dialog.
inline constexpr const char* kDbFilter = "Jet-Datenbank (*.mdb)|*.mdb";
inline constexpr int32_t kDbFlags = platform::kOfnFileMustExist | platform::kOfnHideReadOnly;
inline constexpr const char* kDbTitle = "Datenbank laden";

// Settings of the query-file dialog.
inline constexpr const char* kQueryDefaultExt = "sql";
inline constexpr const char* kQueryFilter = "SQL-Abfragen (*.sql)|*.sql";
inline constexpr int32_t kQueryOpenFlags =
    platform::kOfnExplorer | platform::kOfnFileMustExist | platform::kOfnHideReadOnly;
inline constexpr int32_t kQuerySaveFlags =
    platform::kOfnExplorer | platform::kOfnPathMustExist | platform::kOfnOverwritePrompt;
inline constexpr const char* kQueryOpenTitle = "Abfrage laden";
inline constexpr const char* kQuerySaveTitle = "Abfrage speichern";

inline constexpr const char* kDefaultStatement = "select * from artikel";
inline constexpr const char* kDataConnect = "Access 2000;";

// The outside components the window talks to; any left empty get the Qt implementations.
struct Platform {
  std::unique_ptr<platform::MessageBox> message_box;
  std::unique_ptr<platform::FileDialog> std_db;
  std::unique_ptr<platform::FileDialog> std_abfrage;
};

class frmSQL : public QMainWindow, private ResizableWindow {
  Q_OBJECT

  // The outside components, first so that the dialog references below can bind to them.
  std::unique_ptr<platform::MessageBox> message_box_;
  std::unique_ptr<platform::FileDialog> std_db_;
  std::unique_ptr<platform::FileDialog> std_abfrage_;
  // The engine behind the window's database handle and behind Data1.
  std::shared_ptr<db::FileEngine> files_;
  db::DBEngine dbengine_;

 public:
  explicit frmSQL(std::shared_ptr<db::FileEngine> engine, Platform platform = {});
  ~frmSQL() override;

  // Controls, by their design-time names.
  SqlTextBox* txtSQL;
  query::FlexGrid* fgridQuery;
  QPushButton* cmdQuery;
  QListWidget* lstTabellen;
  QListWidget* lstFelder;
  QLabel* lblTabelle;
  QLabel* lblFelder;
  QLabel* lblGridSize;
  query::DataControl* Data1;
  platform::FileDialog& stdDB;
  platform::FileDialog& stdAbfrage;
  QMenu* mnuDatenbank;
  QMenu* mnuAbfrage;
  std::array<QAction*, 2> mnu_Datenbank;
  std::array<QAction*, 2> mnu_Abfrage;

  // The window's mouse pointer: 0 default, 11 hourglass (shown as the wait cursor).
  int MousePointer() const { return mouse_pointer_; }
  void SetMousePointer(int pointer);

  // Puts `intext` at the caret of txtSQL in place of the selection; the editor gets the focus.
  void inserttxt(const QString& intext);

  // Event handlers; the window's controls call them, and so may tests.
  void cmdQuery_Click();
  void lstTabellen_Click();
  void lstTabellen_DblClick();
  void lstFelder_DblClick();
  void lstTabellen_MouseDown(int16_t button, int16_t shift, float x, float y);
  void mnu_Datenbank_Click(int16_t index);
  void mnu_Abfrage_Click(int16_t index);
  void Form_Resize();

  // The form-level state, read-only for tests.
  const std::shared_ptr<db::Database>& database() const { return db; }
  const std::shared_ptr<db::TableDef>& table_def() const { return tdf; }
  const QString& line_buffer() const { return linebuf; }

 protected:
  void resizeEvent(QResizeEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void CreateControls();
  void CreateMenus();
  void ApplyDefaultFont();
  void SetTabOrder();

  void filltables();
  void showerror(const jet::Error& error);
  // A list's selected entry, or empty when none is selected.
  static QString ListText(const QListWidget* list);
  // Selects entry `index` of lstTabellen as code does; raises when there is no such entry.
  void SetTablesListIndex(int index);
  void LoadQueryFile();
  void SaveQueryFile();

  // ResizableWindow, in twips.
  bool IsMinimized() const override;
  float Width() const override;
  float Height() const override;
  void SetWidth(float twips) override;
  void SetHeight(float twips) override;
  float ScaleWidth() const override;
  float ScaleHeight() const override;
  float GridLeft() const override;
  float GridTop() const override;
  float GridWidth() const override;
  void SetGridWidth(float twips) override;
  void SetGridHeight(float twips) override;
  void SetEditorWidth(float twips) override;

  int mouse_pointer_ = kPointerDefault;
  bool filling_lists_ = false;

  // Form-level variables.
  std::shared_ptr<db::Database> db;
  std::shared_ptr<db::TableDef> tdf;
  std::optional<db::Field> fld;
  QString linebuf;
};

}  // namespace app

#endif  // QUORLA_APP_FRMSQL_H_
