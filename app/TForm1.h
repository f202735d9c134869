// TForm1: the demo's main window: three sample pages, each with one list configured
// differently, option controls, and a main menu whose commands drive the lists.
#pragma once

#include "app/TFormFitter.h"
#include "app/TProgressFeedback.h"

#include <QMainWindow>
#include <functional>
#include <memory>

class QAction;
class QCheckBox;
class QComboBox;
class QFontDialog;
class QGroupBox;
class QLabel;
class QLineEdit;
class QMenu;
class QMenuBar;
class QPrintDialog;
class QPrinter;
class QProgressDialog;
class QPushButton;
class QSpinBox;
class QStatusBar;
class QTabWidget;
class TImageList;
class TOrvListView;
class TRadioGroup;

class TForm1 : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int kClientWidth = 554; // pixels below the menu bar
    static constexpr int kClientHeight = 538;
    static constexpr int kStatusBarHeight = 19;

    explicit TForm1(QWidget* parent = nullptr);
    ~TForm1() override;

    // Shows each page in turn and writes DIR/sample1.png .. sample3.png; false when a file
    // cannot be written.
    bool SaveScreenshots(const QString& dir);
    // Prints the Sample 1 list with the print options as they stand to a PDF file; errors are
    // raised (EPrinterError, EOrvListViewError).
    void PrintToPdf(const QString& fileName);
    // Renders the preview window, at its stored size, for the Sample 1 list with the print
    // options as they stand; false when the file cannot be written.
    bool SavePreview(const QString& fileName);

    // Where a window of `window` size designed at `designed` goes on a screen whose free area is
    // `available`: the designed place, moved just enough to keep the window inside the area (its
    // top-left corner first when it is larger than the area).
    static QPoint PlaceOnScreen(QPoint designed, QSize window, const QRect& available);

    // How web addresses and saved documents are opened (the system's handler by default);
    // tests record instead.
    std::function<void(const QString& url)> OpenURL;

    // Long commands (loading, saving, exporting, printing the Sample 1 list) show a progress
    // dialog once they have run for ProgressDelayMs, measured by ProgressClock (milliseconds
    // since the command started; a steady clock when empty); OnProgressDialog hears of each
    // dialog as it appears. Tests change them.
    int ProgressDelayMs = TProgressFeedback::kDefaultDelayMs;
    std::function<qint64()> ProgressClock;
    std::function<void(QProgressDialog&)> OnProgressDialog;

    // ---- components, by the names the handlers use ----
    QStatusBar* StatusBar1 = nullptr;
    QTabWidget* PageControl1 = nullptr;
    QWidget* TabSheet1 = nullptr;
    QWidget* TabSheet2 = nullptr;
    QWidget* TabSheet3 = nullptr;
    QMenuBar* MainMenu1 = nullptr;
    std::unique_ptr<TImageList> ImageList1;
    std::unique_ptr<TImageList> HeaderImages;
    std::unique_ptr<TImageList> ImageList2;
    QFontDialog* FontDialog1 = nullptr;
    // The application's printer object and its set-up dialog (system printers or a PDF file).
    std::unique_ptr<QPrinter> Printer;
    QPrintDialog* PrinterSetupDialog1 = nullptr;

    // Sample 1
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    TRadioGroup* RadioGroup1 = nullptr;
    QGroupBox* GroupBox1 = nullptr;
    QLabel* Label1 = nullptr;
    QSpinBox* SpinEdit1 = nullptr;
    QPushButton* Button4 = nullptr;
    QCheckBox* CheckBox7 = nullptr;
    QCheckBox* multisel = nullptr;
    QCheckBox* CheckBox8 = nullptr;
    QCheckBox* subedit = nullptr;
    QCheckBox* subsel = nullptr;
    QCheckBox* CheckBox9 = nullptr;
    QGroupBox* GroupBox2 = nullptr;
    QLabel* Label7 = nullptr;
    QLineEdit* Edit2 = nullptr;
    QCheckBox* CheckBox1 = nullptr;
    QCheckBox* CheckBox2 = nullptr;
    QCheckBox* CheckBox3 = nullptr;
    QCheckBox* CheckBox4 = nullptr;
    QCheckBox* CheckBox5 = nullptr;
    QCheckBox* CheckBox6 = nullptr;
    QPushButton* Button8 = nullptr;
    TOrvListView* OrvListView2 = nullptr;

    // Sample 2
    QLabel* Label4 = nullptr;
    QCheckBox* detail = nullptr;
    TOrvListView* OrvListView1 = nullptr;

    // Sample 3
    QCheckBox* CheckBox10 = nullptr;
    QComboBox* ComboBox1 = nullptr;
    QCheckBox* CheckBox11 = nullptr;
    QComboBox* ComboBox2 = nullptr;
    TOrvListView* OrvListView3 = nullptr;

    // Menu items (objectName = these names).
    QMenu* File1 = nullptr;
    QMenu* Edit1 = nullptr;
    QMenu* Sort1 = nullptr;
    QMenu* Draw1 = nullptr;
    QMenu* Move1 = nullptr;
    QAction* Savetofile1 = nullptr;
    QAction* Loadfromfile1 = nullptr;
    QAction* LoadfromCSV1 = nullptr;
    QAction* SavetoCSV1 = nullptr;
    QAction* SavetoHTML1 = nullptr;
    QAction* SavetoXLS1 = nullptr;
    QAction* SavetoDOC1 = nullptr;
    QAction* SavetoXML1 = nullptr;
    QAction* Preview1 = nullptr;
    QAction* Print1 = nullptr;
    QAction* Clear1 = nullptr;
    QAction* Cut1 = nullptr;
    QAction* Copy1 = nullptr;
    QAction* Copyselected1 = nullptr;
    QAction* Paste1 = nullptr;
    QAction* ColumnItems[6] = {};
    QAction* Aligntop1 = nullptr;
    QAction* Aligncenter1 = nullptr;
    QAction* Alignbottom1 = nullptr;
    QAction* Imageson1 = nullptr;
    QAction* Font1 = nullptr;
    QAction* RichText1 = nullptr;
    QAction* HTMLText1 = nullptr;
    QAction* Indents1 = nullptr;
    QAction* Flatheader1 = nullptr;
    QAction* Swaprows121 = nullptr;
    QAction* Swapcolumns121 = nullptr;
    QAction* Moverow1to51 = nullptr;
    QAction* Movecolumn1to51 = nullptr;
    QAction* About1 = nullptr;

    // ---- handlers ----
    void FormCreate();
    void FillCatalogue();
    void Savetofile1Click();
    void Loadfromfile1Click();
    void LoadfromCSV1Click();
    void SavetoCSV1Click();
    void SavetoHTML1Click();
    void SavetoXLS1Click();
    void SavetoDOC1Click();
    void SavetoXML1Click();
    void Preview1Click();
    void Print1Click();
    // Copies the "Printing" options into the Sample 1 list's print settings.
    void ApplyPrintOptions();
    void Clear1Click();
    void Cut1Click();
    void Copy1Click();
    void Copyselected1Click();
    void Paste1Click();
    void Column01Click(QAction* item);
    void Imageson1Click();
    void Indents1Click();
    void Swaprows121Click();
    void Swapcolumns121Click();
    void Moverow1to51Click();
    void Movecolumn1to51Click();
    void CheckBox10Click();
    void CheckBox11Click();
    void Aligntop1Click();
    void Aligncenter1Click();
    void Alignbottom1Click();
    void Font1Click();
    void RichText1Click();
    void HTMLText1Click();
    void Flatheader1Click();
    void About1Click();
    void Label3Click();
    void RadioGroup1Click();
    void SpinEdit1Change();
    void multiselClick();
    void CheckBox8Click();
    void subeditClick();
    void subselClick();
    void CheckBox9Click();
    void Button4Click();
    void Button8Click();
    void detailClick();

private:
    void CreateImageLists();
    void CreateMenu();
    void CreateSample1();
    void CreateSample2();
    void CreateSample3();
    void ConfigureCommon(TOrvListView& list);
    void BindSample1Events();
    // Runs `work` on the Sample 1 list with the wait cursor and, when it takes long, a progress
    // dialog labelled `label`; false when the user cancelled it.
    bool WithProgress(const QString& label, const std::function<void()>& work);

    bool eventFilter(QObject* watched, QEvent* event) override;
    void changeEvent(QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void PlaceWindow();

    TFormFitter m_fitter;
    bool m_placedWithFrame = false;

public:
    // Where the controls were designed to be and how they were fitted to the style.
    const TFormFitter& Fitter() const { return m_fitter; }
};
