#include "app/TForm1.h"

#include "app/DemoMessages.h"
#include "app/DemoPictures.h"
#include "app/TFormFitter.h"
#include "app/TRadioGroup.h"
#include "listview/TOrvListView.h"
#include "platform/TImageList.h"
#include "platform/TShell.h"
#include "printing/TPreview.h"

#include <QActionGroup>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFontDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRandomGenerator>
#include <QScreen>
#include <QShowEvent>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QUrl>

namespace {

const QString kProductPage = QStringLiteral("https://www.example.com/zelt/orvlistview/");

// The form's font: 8-point "MS Sans Serif", a character height of 11 pixels at 96 dpi.
QFont FormFont()
{
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    return font;
}

TFont ListFont(const QString& name, int height, TColor color)
{
    TFont font;
    font.SetName(name);
    font.SetHeight(height);
    font.SetColor(color);
    return font;
}

template <class W>
W* Place(TFormFitter& fitter, W* widget, int left, int top, int width = 0, int height = 0,
    TFormFitter::TAnchor anchor = TFormFitter::faTop)
{
    fitter.Design(widget, QRect(left, top, width, height), anchor);
    return widget;
}

QCheckBox* CheckBox(TFormFitter& fitter, const char* name, const QString& caption, bool checked,
    QWidget* parent, int left, int top)
{
    auto* box = new QCheckBox(caption, parent);
    box->setObjectName(QString::fromLatin1(name));
    box->setChecked(checked);
    return Place(fitter, box, left, top);
}

QLabel* Label(
    TFormFitter& fitter, const char* name, const QString& caption, QWidget* parent, int left, int top)
{
    auto* label = new QLabel(caption, parent);
    label->setObjectName(QString::fromLatin1(name));
    return Place(fitter, label, left, top);
}

} // namespace

TForm1::TForm1(QWidget* parent)
    : QMainWindow(parent)
{
    // The stored fonts name Windows faces; map them onto the narrow face this system has so that
    // the captions fit the places they were laid out for.
    for (const char* face : { "MS Sans Serif", "Tahoma" })
        QFont::insertSubstitutions(QString::fromLatin1(face),
            { QStringLiteral("DejaVu Sans Condensed"), QStringLiteral("Liberation Sans"),
                QStringLiteral("Arial") });
    // Links open through the platform opener: web, mail and file targets only, never a program.
    OpenURL = [](const QString& url) { TShell::Open(url); };

    setObjectName(QStringLiteral("Form1"));
    setWindowTitle(QStringLiteral("Zelt software : TOrvListView demo"));
    setFont(FormFont());

    CreateImageLists();
    CreateMenu();

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->setFixedHeight(kStatusBarHeight);
    StatusBar1->setSizeGripEnabled(false); // the window has a fixed border
    setStatusBar(StatusBar1);

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    setCentralWidget(PageControl1);
    TabSheet1 = new QWidget;
    TabSheet1->setObjectName(QStringLiteral("TabSheet1"));
    TabSheet2 = new QWidget;
    TabSheet2->setObjectName(QStringLiteral("TabSheet2"));
    TabSheet3 = new QWidget;
    TabSheet3->setObjectName(QStringLiteral("TabSheet3"));
    PageControl1->addTab(TabSheet1, QStringLiteral("Sample 1"));
    PageControl1->addTab(TabSheet2, QStringLiteral("Sample 2"));
    PageControl1->addTab(TabSheet3, QStringLiteral("Sample 3"));

    CreateSample1();
    CreateSample2();
    CreateSample3();
    PageControl1->setCurrentIndex(0);
    // The places above are the design's; the style decides how much room titles, frames and
    // controls really take.
    m_fitter.Fit();

    FontDialog1 = new QFontDialog(this);
    FontDialog1->setObjectName(QStringLiteral("FontDialog1"));
    Printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    // Without a system printer the set-up dialog offers a PDF file: it starts as sample.pdf in
    // the working directory, beside the demo's other files.
    if (Printer->outputFormat() == QPrinter::PdfFormat && Printer->outputFileName().isEmpty())
        Printer->setOutputFileName(QDir::current().absoluteFilePath(QStringLiteral("sample.pdf")));
    PrinterSetupDialog1 = new QPrintDialog(Printer.get(), this);
    PrinterSetupDialog1->setObjectName(QStringLiteral("PrinterSetupDialog1"));

    // A fixed single border: the client area below the menu bar is 554 x 538.
    setFixedSize(kClientWidth, MainMenu1->sizeHint().height() + kClientHeight);
    PlaceWindow();

    // Every list gets its window with the form, also those on pages not showing yet.
    for (TOrvListView* list : { OrvListView2, OrvListView1, OrvListView3 }) {
        list->Loaded();
        list->CreateWnd();
    }

    // The creation handler runs once before the window is first shown; an error in it is
    // reported and the window opens all the same.
    DemoMessages::Guarded([this] { FormCreate(); });
}

// At the designed place when the screen has room for the window there; on a small screen, or one
// scaled up, as close to it as keeps the whole window, frame included, visible.
void TForm1::PlaceWindow()
{
    const QPoint designed(446, 106);
    const QScreen* screen = QGuiApplication::primaryScreen();
    move(screen ? PlaceOnScreen(designed, frameGeometry().size(), screen->availableGeometry()) : designed);
}

void TForm1::showEvent(QShowEvent* event)
{
    QMainWindow::showEvent(event);
    // The frame's size is known once the window exists.
    if (!m_placedWithFrame && !event->spontaneous()) {
        m_placedWithFrame = true;
        PlaceWindow();
    }
}

QPoint TForm1::PlaceOnScreen(QPoint designed, QSize window, const QRect& available)
{
    const int x = std::max(available.left(), std::min(designed.x(), available.right() + 1 - window.width()));
    const int y = std::max(available.top(), std::min(designed.y(), available.bottom() + 1 - window.height()));
    return { x, y };
}

TForm1::~TForm1()
{
    // The lists reference the image lists; they must go first.
    delete PageControl1;
    PageControl1 = nullptr;
}

// ============================================================================================
// Building the window
// ============================================================================================

void TForm1::CreateImageLists()
{
    ImageList1 = std::make_unique<TImageList>(16, 16);
    ImageList1->SetDrawingStyle(dsTransparent);
    for (const QImage& image :
        { DemoPictures::Car(), DemoPictures::Star(), DemoPictures::Flag(), DemoPictures::Globe() })
        ImageList1->Add(image);

    HeaderImages = std::make_unique<TImageList>(16, 16);
    HeaderImages->Add(DemoPictures::UpOutline());
    HeaderImages->Add(DemoPictures::DownOutline());

    ImageList2 = std::make_unique<TImageList>(16, 16);
    ImageList2->SetDrawingStyle(dsTransparent);
    ImageList2->Add(DemoPictures::Tick());
    ImageList2->Add(DemoPictures::Cross());
}

void TForm1::CreateMenu()
{
    MainMenu1 = menuBar();
    MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
    MainMenu1->setNativeMenuBar(false);

    // Captions carry their access keys ("&File" opens with Alt+F; in an open menu the underlined
    // letter picks the item); the usual commands also get the platform's standard shortcuts.
    auto menu = [this](const char* name, const QString& caption) {
        QMenu* m = MainMenu1->addMenu(caption);
        m->setObjectName(QString::fromLatin1(name));
        return m;
    };
    auto item = [this](QMenu* m, const char* name, const QString& caption, void (TForm1::*handler)(),
                    QKeySequence::StandardKey shortcut = QKeySequence::UnknownKey) {
        QAction* a = m->addAction(caption);
        a->setObjectName(QString::fromLatin1(name));
        if (shortcut != QKeySequence::UnknownKey)
            a->setShortcuts(shortcut);
        if (handler)
            connect(a, &QAction::triggered, this, [this, handler] { (this->*handler)(); });
        return a;
    };

    File1 = menu("File1", QStringLiteral("&File"));
    Savetofile1 = item(
        File1, "Savetofile1", QStringLiteral("&Save to file"), &TForm1::Savetofile1Click, QKeySequence::Save);
    Loadfromfile1 = item(File1, "Loadfromfile1", QStringLiteral("&Load from file"),
        &TForm1::Loadfromfile1Click, QKeySequence::Open);
    LoadfromCSV1 = item(File1, "LoadfromCSV1", QStringLiteral("Load from &CSV"), &TForm1::LoadfromCSV1Click);
    SavetoCSV1 = item(File1, "SavetoCSV1", QStringLiteral("S&ave to CSV"), &TForm1::SavetoCSV1Click);
    SavetoHTML1 = item(File1, "SavetoHTML1", QStringLiteral("Save to &HTML"), &TForm1::SavetoHTML1Click);
    SavetoXLS1 = item(File1, "SavetoXLS1", QStringLiteral("Save to &XLS"), &TForm1::SavetoXLS1Click);
    SavetoDOC1 = item(File1, "SavetoDOC1", QStringLiteral("Save to &DOC"), &TForm1::SavetoDOC1Click);
    SavetoXML1 = item(File1, "SavetoXML1", QStringLiteral("Save to X&ML"), &TForm1::SavetoXML1Click);
    Preview1 = item(File1, "Preview1", QStringLiteral("Pre&view"), &TForm1::Preview1Click);
    Print1 = item(File1, "Print1", QStringLiteral("&Print"), &TForm1::Print1Click, QKeySequence::Print);
    Clear1 = item(File1, "Clear1", QStringLiteral("Cl&ear"), &TForm1::Clear1Click);

    // Ctrl+C copies the selected rows, as the list's own clipboard keys do and as Ctrl+X cuts
    // them; "Copy" (every row) has no usual key.
    Edit1 = menu("Edit1", QStringLiteral("&Edit"));
    Cut1 = item(Edit1, "Cut1", QStringLiteral("Cu&t"), &TForm1::Cut1Click, QKeySequence::Cut);
    Copy1 = item(Edit1, "Copy1", QStringLiteral("&Copy"), &TForm1::Copy1Click);
    Copyselected1 = item(Edit1, "Copyselected1", QStringLiteral("Copy &selected"),
        &TForm1::Copyselected1Click, QKeySequence::Copy);
    Paste1 = item(Edit1, "Paste1", QStringLiteral("&Paste"), &TForm1::Paste1Click, QKeySequence::Paste);

    Sort1 = menu("Sort1", QStringLiteral("&Sort"));
    for (int column = 0; column < 6; ++column) {
        QAction* a = item(Sort1, "", QStringLiteral("Column &%1").arg(column), nullptr);
        a->setObjectName(QStringLiteral("Column%11").arg(column));
        a->setData(column); // the tag all six share one handler by
        connect(a, &QAction::triggered, this, [this, a] { Column01Click(a); });
        ColumnItems[column] = a;
    }

    Draw1 = menu("Draw1", QStringLiteral("&Draw"));
    Aligntop1 = item(Draw1, "Aligntop1", QStringLiteral("Align &top"), &TForm1::Aligntop1Click);
    Aligncenter1 = item(Draw1, "Aligncenter1", QStringLiteral("Align &center"), &TForm1::Aligncenter1Click);
    Alignbottom1 = item(Draw1, "Alignbottom1", QStringLiteral("Align &bottom"), &TForm1::Alignbottom1Click);
    auto* alignGroup = new QActionGroup(this);
    for (QAction* a : { Aligntop1, Aligncenter1, Alignbottom1 }) {
        a->setCheckable(true);
        alignGroup->addAction(a);
    }
    Aligncenter1->setChecked(true);
    Draw1->addSeparator()->setObjectName(QStringLiteral("N1"));
    Imageson1 = item(Draw1, "Imageson1", QStringLiteral("&Images"), &TForm1::Imageson1Click);
    Imageson1->setCheckable(true);
    Font1 = item(Draw1, "Font1", QStringLiteral("&Font"), &TForm1::Font1Click);
    RichText1 = item(Draw1, "RichText1", QStringLiteral("&Rich Text"), &TForm1::RichText1Click);
    HTMLText1 = item(Draw1, "HTMLText1", QStringLiteral("&HTML Text"), &TForm1::HTMLText1Click);
    Indents1 = item(Draw1, "Indents1", QStringLiteral("I&ndents"), &TForm1::Indents1Click);
    Draw1->addSeparator()->setObjectName(QStringLiteral("N2"));
    Flatheader1 = item(Draw1, "Flatheader1", QStringLiteral("Fl&at header"), &TForm1::Flatheader1Click);
    Flatheader1->setCheckable(true);

    Move1 = menu("Move1", QStringLiteral("&Move"));
    Swaprows121 = item(Move1, "Swaprows121", QStringLiteral("Swap &rows 1-5"), &TForm1::Swaprows121Click);
    Swapcolumns121
        = item(Move1, "Swapcolumns121", QStringLiteral("Swap &columns 1-5"), &TForm1::Swapcolumns121Click);
    Moverow1to51
        = item(Move1, "Moverow1to51", QStringLiteral("&Move row 1 to 5"), &TForm1::Moverow1to51Click);
    Movecolumn1to51 = item(
        Move1, "Movecolumn1to51", QStringLiteral("Move c&olumn 1 to 5"), &TForm1::Movecolumn1to51Click);

    About1 = MainMenu1->addAction(QStringLiteral("&About"));
    About1->setObjectName(QStringLiteral("About1"));
    connect(About1, &QAction::triggered, this, &TForm1::About1Click);
}

// The values every list of the window stores alike.
void TForm1::ConfigureCommon(TOrvListView& list)
{
    list.setFont(FormFont());
    list.SetFont(ListFont(QStringLiteral("MS Sans Serif"), -11, clWindowText));
    list.SetViewStyle(vsReport);
    list.SetOwnerDraw(true);
    list.SetHeaderOwnerDraw(true);
    list.SetFlatScrollBar(false);
    list.SetClipboardEnable(false);
    list.ColumnSize().SetSave(false);
    list.ColumnSize().SetStretch(false);
    list.ColumnSize().SetStorage(stInifile);
    list.SetFilterTimeOut(500);
    list.SetHTMLHint(false);
    list.HTMLSettings().SetWidth(100);
    list.SetHeaderFlatStyle(false);
    list.SetHoverTime(-1);
    list.SetSelectionRTFKeep(false);
    list.SetScrollHint(false);
    list.SetSelectionTextColor(clHighlightText);
    list.SetSizeWithForm(false);
    list.SetSortDirection(sdAscending);
    list.SetSortIndicator(siLeft);
    list.SetSubImages(false);
    list.SetSaveHeader(false);
    list.SetLoadHeader(false);
    list.SetReArrangeItems(false);
    list.DetailView().SetFont(ListFont(QStringLiteral("MS Sans Serif"), -11, clBlue));
    TPrintsettings& print = list.PrintSettings();
    const TFont printFont = ListFont(QStringLiteral("MS Sans Serif"), -11, clWindowText);
    print.SetFont(printFont);
    print.SetHeaderFont(printFont);
    print.SetFooterFont(printFont);
}

void TForm1::CreateSample1()
{
    QWidget* page = TabSheet1;
    Label2 = Label(m_fitter, "Label2", QStringLiteral("TOrvListview v1.54"), page, 373, -2);
    Label3 = Label(m_fitter, "Label3", QStringLiteral("Zelt software"), page, 470, -2);
    QFont linkFont = Label3->font();
    linkFont.setUnderline(true);
    Label3->setFont(linkFont);
    Label3->setStyleSheet(QStringLiteral("color: #0000ff"));
    Label3->setCursor(Qt::PointingHandCursor);
    Label3->installEventFilter(this);
    Label2->raise();
    Label3->raise();

    RadioGroup1 = new TRadioGroup(QStringLiteral("Mouse control"),
        { QStringLiteral("Item rearrange"), QStringLiteral("Hottrack"), QStringLiteral("None") }, 3, page);
    RadioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
    Place(m_fitter, RadioGroup1, 8, 11, 529, 33);
    RadioGroup1->SetItemIndex(1);
    RadioGroup1->OnClick = [this] { RadioGroup1Click(); };

    GroupBox1 = new QGroupBox(QStringLiteral("Various"), page);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    Place(m_fitter, GroupBox1, 8, 45, 529, 68);
    Label1 = Label(m_fitter, "Label1", QStringLiteral("Height of items"), GroupBox1, 13, 21);
    SpinEdit1 = new QSpinBox(GroupBox1);
    SpinEdit1->setObjectName(QStringLiteral("SpinEdit1"));
    SpinEdit1->setRange(12, 40);
    SpinEdit1->setValue(13);
    Place(m_fitter, SpinEdit1, 88, 17, 65);
    connect(SpinEdit1, &QSpinBox::valueChanged, this, [this] { SpinEdit1Change(); });
    Button4 = new QPushButton(QStringLiteral("Autosize"), GroupBox1);
    Button4->setObjectName(QStringLiteral("Button4"));
    Place(m_fitter, Button4, 160, 16, 75, 25);
    connect(Button4, &QPushButton::clicked, this, [this] { Button4Click(); });
    CheckBox7
        = CheckBox(m_fitter, "CheckBox7", QStringLiteral("Enable column size"), true, GroupBox1, 243, 12);
    multisel = CheckBox(m_fitter, "multisel", QStringLiteral("Multiselect"), false, GroupBox1, 243, 28);
    CheckBox8 = CheckBox(m_fitter, "CheckBox8", QStringLiteral("Filterbar"), false, GroupBox1, 243, 44);
    subedit = CheckBox(m_fitter, "subedit", QStringLiteral("Subitem editing"), false, GroupBox1, 376, 12);
    subsel = CheckBox(m_fitter, "subsel", QStringLiteral("Subitem select"), false, GroupBox1, 376, 28);
    CheckBox9 = CheckBox(m_fitter, "CheckBox9", QStringLiteral("CheckBoxes"), false, GroupBox1, 376, 44);
    connect(multisel, &QCheckBox::clicked, this, [this] { multiselClick(); });
    connect(CheckBox8, &QCheckBox::clicked, this, [this] { CheckBox8Click(); });
    connect(subedit, &QCheckBox::clicked, this, [this] { subeditClick(); });
    connect(subsel, &QCheckBox::clicked, this, [this] { subselClick(); });
    connect(CheckBox9, &QCheckBox::clicked, this, [this] { CheckBox9Click(); });

    GroupBox2 = new QGroupBox(QStringLiteral("Printing"), page);
    GroupBox2->setObjectName(QStringLiteral("GroupBox2"));
    Place(m_fitter, GroupBox2, 8, 120, 529, 81);
    GroupBox2->setToolTip(QStringLiteral("Performs printing of the grid"));
    Label7 = Label(m_fitter, "Label7", QStringLiteral("Title :"), GroupBox2, 8, 19);
    Edit2 = new QLineEdit(GroupBox2);
    Edit2->setObjectName(QStringLiteral("Edit2"));
    Place(m_fitter, Edit2, 44, 16, 325);
    m_fitter.Pair(Label7, Edit2);
    CheckBox1 = CheckBox(m_fitter, "CheckBox1", QStringLiteral("Print date"), true, GroupBox2, 8, 39);
    CheckBox2 = CheckBox(m_fitter, "CheckBox2", QStringLiteral("Print time"), true, GroupBox2, 8, 59);
    CheckBox3
        = CheckBox(m_fitter, "CheckBox3", QStringLiteral("Print page numbers"), true, GroupBox2, 88, 39);
    CheckBox4 = CheckBox(m_fitter, "CheckBox4", QStringLiteral("Print borders"), true, GroupBox2, 88, 59);
    CheckBox5 = CheckBox(m_fitter, "CheckBox5", QStringLiteral("Fit to page"), false, GroupBox2, 224, 40);
    CheckBox6 = CheckBox(m_fitter, "CheckBox6", QStringLiteral("Print centered"), false, GroupBox2, 224, 59);
    Button8 = new QPushButton(QStringLiteral("Print font"), GroupBox2);
    Button8->setObjectName(QStringLiteral("Button8"));
    Place(m_fitter, Button8, 380, 12, 89, 29);
    connect(Button8, &QPushButton::clicked, this, [this] { Button8Click(); });

    OrvListView2 = new TOrvListView(page);
    OrvListView2->setObjectName(QStringLiteral("OrvListView2"));
    Place(m_fitter, OrvListView2, 8, 208, 529, 273, TFormFitter::faBottom);
    TOrvListView& list = *OrvListView2;
    ConfigureCommon(list);
    list.SetReadOnly(true);
    list.SetRowSelect(true);
    list.SetCheckboxes(false);
    list.SetSmallImages(ImageList1.get());
    list.SetAutoHint(true);
    list.SetHeaderHotTrack(true);
    list.SetHeaderDragDrop(true);
    list.SetHeaderHeight(13);
    list.SetHeaderImages(HeaderImages.get());
    list.SetHeaderFont(ListFont(QStringLiteral("Tahoma"), -11, clBlue));
    list.SetSelectionColor(clRed);
    list.SetSortShow(true);
    list.SetSortUpGlyph(TBitmap(DemoPictures::SortUpGlyph()));
    list.SetSortDownGlyph(TBitmap(DemoPictures::SortDownGlyph()));
    list.SetSubItemEdit(false);
    list.SetSubItemSelect(false);
    list.SetURLShow(true);
    list.SetVAlignment(vtaCenter);
    list.SetWordWrap(false);
    list.SetItemHeight(13);
    list.DetailView().SetVisible(false);
    list.DetailView().SetColumn(0);
    list.DetailView().SetHeight(0);
    list.DetailView().SetIndent(0);
    list.DetailView().SetSplitLine(false);
    list.HTMLSettings().SetPrefixTag(
        QStringLiteral("<body bgcolor=\"#ffffff\"><font face=\"Tahoma\" size=\"2\">"));
    list.HTMLSettings().SetSuffixTag(QStringLiteral("</font>"));
    list.PrintSettings().SetTitleText(QStringLiteral("This is a test"));
    list.PrintSettings().SetPagePrefix(QStringLiteral("page"));
    list.setToolTip(QString());
    BindSample1Events();
}

void TForm1::CreateSample2()
{
    QWidget* page = TabSheet2;
    Label4 = Label(m_fitter, "Label4",
        QStringLiteral("TOrvListView with multiline ownerdraw header and detail pane"), page, 8, 8);
    detail = CheckBox(m_fitter, "detail", QStringLiteral("Toggle detailview"), true, page, 336, 8);
    connect(detail, &QCheckBox::clicked, this, [this] { detailClick(); });

    OrvListView1 = new TOrvListView(page);
    OrvListView1->setObjectName(QStringLiteral("OrvListView1"));
    Place(m_fitter, OrvListView1, 8, 32, 529, 449, TFormFitter::faBottom);
    TOrvListView& list = *OrvListView1;
    ConfigureCommon(list);
    struct Column {
        const char* caption;
        int width;
    };
    const Column columns[] = { { "<b>Zelt</b><br>Component", 150 }, { "<b>Vostra</b><br>Compatibility", 100 },
        { "Release date", 120 }, { "Web", 50 } };
    for (const Column& c : columns) {
        TListColumn& column = list.Columns().Add();
        column.SetCaption(QString::fromLatin1(c.caption));
        column.SetWidth(c.width);
    }
    list.SetReadOnly(true);
    list.SetRowSelect(true);
    list.SetCheckboxes(true);
    list.SetCheckTrueGlyph(TBitmap(DemoPictures::CheckTrue()));
    list.SetCheckFalseGlyph(TBitmap(DemoPictures::CheckFalse()));
    list.SetSmallImages(ImageList2.get());
    list.SetAutoHint(false);
    list.SetHeaderHotTrack(false);
    list.SetHeaderDragDrop(false);
    list.SetHeaderHeight(32);
    list.SetHeaderImages(ImageList1.get());
    list.SetHeaderFont(ListFont(QStringLiteral("Tahoma"), -13, clWindowText));
    list.SetSelectionColor(clHighlight);
    list.SetSortShow(true);
    list.SetSortUpGlyph(TBitmap(DemoPictures::SortUpGlyph()));
    list.SetSortDownGlyph(TBitmap(DemoPictures::SortDownGlyph()));
    list.SetSubItemEdit(true);
    list.SetSubItemSelect(true);
    list.SetURLShow(true);
    list.SetURLColor(clGreen);
    list.SetVAlignment(vtaTop);
    list.SetWordWrap(true);
    list.SetItemHeight(60);
    list.DetailView().SetVisible(true);
    list.DetailView().SetColumn(4);
    list.DetailView().SetHeight(40);
    list.DetailView().SetIndent(20);
    list.DetailView().SetSplitLine(true);
}

void TForm1::CreateSample3()
{
    QWidget* page = TabSheet3;
    CheckBox10 = CheckBox(m_fitter, "CheckBox10", QStringLiteral("Hilight text"), false, page, 8, 16);
    ComboBox1 = new QComboBox(page);
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->addItems({ QStringLiteral("BMW"), QStringLiteral("Audi"), QStringLiteral("Porsche") });
    ComboBox1->setEditable(false);
    ComboBox1->setCurrentIndex(-1);
    Place(m_fitter, ComboBox1, 88, 13, 105);
    CheckBox11 = CheckBox(m_fitter, "CheckBox11", QStringLiteral("Mark text"), false, page, 208, 16);
    ComboBox2 = new QComboBox(page);
    ComboBox2->setObjectName(QStringLiteral("ComboBox2"));
    ComboBox2->addItems({ QStringLiteral("Ferrari"), QStringLiteral("Mercedes") });
    ComboBox2->setEditable(false);
    ComboBox2->setCurrentIndex(-1);
    Place(m_fitter, ComboBox2, 280, 13, 105);
    connect(CheckBox10, &QCheckBox::clicked, this, [this] { CheckBox10Click(); });
    connect(CheckBox11, &QCheckBox::clicked, this, [this] { CheckBox11Click(); });

    OrvListView3 = new TOrvListView(page);
    OrvListView3->setObjectName(QStringLiteral("OrvListView3"));
    Place(m_fitter, OrvListView3, 8, 40, 529, 441, TFormFitter::faBottom);
    TOrvListView& list = *OrvListView3;
    ConfigureCommon(list);
    list.SetReadOnly(false);
    list.SetRowSelect(false);
    list.SetCheckboxes(false);
    list.SetAutoHint(false);
    list.SetHeaderHotTrack(false);
    list.SetHeaderDragDrop(false);
    list.SetHeaderHeight(13);
    list.SetHeaderFont(ListFont(QStringLiteral("MS Sans Serif"), -11, clWindowText));
    list.SetSelectionColor(clHighlight);
    list.SetSortShow(false);
    list.SetSubItemEdit(false);
    list.SetSubItemSelect(false);
    list.SetURLShow(false);
    list.SetVAlignment(vtaCenter);
    list.SetWordWrap(false);
    list.SetItemHeight(15);
    list.DetailView().SetVisible(false);
    list.DetailView().SetColumn(0);
    list.DetailView().SetHeight(16);
    list.DetailView().SetIndent(0);
}

void TForm1::BindSample1Events()
{
    TOrvListView& list = *OrvListView2;
    // Caption bold teal in Tahoma, column 3 navy on yellow, two-letter column-2 texts red.
    list.OnDrawItemProp = [](TOrvListView&, int row, int sub, TOwnerDrawState, TBrush& brush, TFont& font,
                              const QString& text) {
        if (row < 0)
            return;
        if (sub == -1) {
            font.SetStyle(fsBold);
            font.SetName(QStringLiteral("Tahoma"));
            font.SetColor(clTeal);
        }
        if (sub == 2) {
            font.SetColor(clNavy);
            brush.SetColor(clYellow);
        }
        if (sub == 1 && text.size() == 2) {
            font.SetColor(clRed);
            font.SetStyle(fsBold);
        }
    };
    list.OnGetFormat = [](TOrvListView&, int col, TSortStyle& style, QString&, QString& suffix) {
        switch (col) {
        case 1:
            style = ssNumber;
            break;
        case 2:
            style = ssDateTime;
            break;
        case 3:
            style = ssNumber;
            suffix = QStringLiteral("pk");
            break;
        case 4:
            style = ssRaw;
            break;
        default:
            break;
        }
    };
    list.OnRawCompare = [](TOrvListView& sender, int, int row1, int row2, int& res) {
        // The images of column 5; without sub-item images every row reads "no image".
        const int a = sender.GetSubItemImage(row1, 4);
        const int b = sender.GetSubItemImage(row2, 4);
        res = a > b ? 1 : a < b ? -1 : 0;
    };
    list.OnColumnRClick = [](TOrvListView&, int column) {
        DemoMessages::Show(
            DemoMessages::mkInformation, QStringLiteral("Right click on column header %1").arg(column));
    };
    list.OnStartColumnTrack = [this](TOrvListView&, int, bool& allow) { allow = CheckBox7->isChecked(); };
    list.OnFilterBtnClick = [](TOrvListView&, int column) {
        DemoMessages::Show(
            DemoMessages::mkPlain, QStringLiteral("Filter button for item %1 clicked").arg(column));
    };
    list.OnFilterChange = [](TOrvListView& sender, int column) {
        DemoMessages::Show(DemoMessages::mkPlain,
            QStringLiteral("Filter item %1 changed.\rNew value is %2")
                .arg(column)
                .arg(sender.GetFilter(column, false)));
    };
    list.OnAnchorEnter = [this](TOrvListView&, const QString& anchor) { StatusBar1->showMessage(anchor); };
    list.OnAnchorExit = [this](TOrvListView&, const QString&) { StatusBar1->clearMessage(); };
    list.OnAnchorClick = [](TOrvListView&, const QString& anchor) {
        DemoMessages::Show(DemoMessages::mkInformation, anchor);
    };
}

void TForm1::changeEvent(QEvent* event)
{
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        m_fitter.Fit();
}

bool TForm1::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Label3 && event->type() == QEvent::MouseButtonRelease
        && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        Label3Click();
        return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void TForm1::PrintToPdf(const QString& fileName)
{
    ApplyPrintOptions();
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(fileName);
    OrvListView2->Print(printer);
}

bool TForm1::SavePreview(const QString& fileName)
{
    ApplyPrintOptions();
    TPreview preview(this, *OrvListView2);
    preview.show();
    QApplication::processEvents();
    const QPixmap picture = preview.grab();
    preview.RaisePaintError();
    return picture.save(fileName);
}

bool TForm1::SaveScreenshots(const QString& dir)
{
    QDir().mkpath(dir);
    const int current = PageControl1->currentIndex();
    bool ok = true;
    for (int page = 0; page < PageControl1->count(); ++page) {
        PageControl1->setCurrentIndex(page);
        QApplication::processEvents();
        const QString path = QDir(dir).filePath(QStringLiteral("sample%1.png").arg(page + 1));
        ok = grab().save(path) && ok;
    }
    PageControl1->setCurrentIndex(current);
    return ok;
}

// ============================================================================================
// Start-up content
// ============================================================================================

void TForm1::FormCreate()
{
    OrvListView2->SetLoadHeader(true);
    OrvListView2->LoadFromCSV(QStringLiteral("test.csv"));
    for (int column : { 2, 3 })
        if (TListColumn* c = OrvListView2->Columns().Column(column))
            c->SetAlignment(taRightJustify);
    OrvListView2->SortByColumn(1);

    OrvListView3->SetLoadHeader(true);
    OrvListView3->LoadFromCSV(QStringLiteral("test.csv"));
    OrvListView3->AutoSizeColumns();

    ComboBox1->setCurrentIndex(0);
    ComboBox2->setCurrentIndex(0);
    FillCatalogue();
}

// Six product rows: bold name, compatibility codes, release date, a "View" link and a
// one-sentence description that the detail line shows under the row.
void TForm1::FillCatalogue()
{
    struct Product {
        const char* name;
        const char* codes;
        const char* date;
        const char* page;
        const char* description;
    };
    const Product products[] = {
        { "TOrvListView", "D4 D5 D6 C4 C5", "Aug 15, 2001", "orvlistview",
            "Report list with marked-up cells, rich text, sorting, printing and export." },
        { "TOrvGrid", "D3 D4 D5 D6 C3 C4 C5", "Jul 2, 2001", "orvgrid",
            "Grid with cell merging, filtering, grouping and office export." },
        { "TOrvMemo", "D5 D6 C5", "May 21, 2001", "orvmemo",
            "Memo with syntax highlighting for several languages and line numbers." },
        { "TOrvTreeView", "D4 D5 D6", "Mar 9, 2001", "orvtreeview",
            "Tree with marked-up node texts, check boxes and columns." },
        { "TOrvEdit", "D3 D4 D5 D6 C3 C4 C5", "Jan 30, 2001", "orvedit",
            "Edit controls for dates, numbers, money and masks with lookup." },
        { "TOrvPicture", "D5 D6 C5", "Nov 14, 2000", "orvpicture",
            "Picture control for GIF, JPEG and bitmap files with animation." },
    };
    TListItems& items = OrvListView1->Items();
    items.BeginUpdate();
    for (int i = 0; i < 6; ++i) {
        const Product& p = products[i];
        TListItem& item = items.Add();
        item.SetCaption(QStringLiteral("<b>%1</b>").arg(QString::fromLatin1(p.name)));
        item.SubItems() << QString::fromLatin1(p.codes) << QString::fromLatin1(p.date)
                        << QStringLiteral("<a href=\"https://www.example.com/zelt/%1/\">View</a>")
                               .arg(QString::fromLatin1(p.page))
                        << QString::fromLatin1(p.description);
        item.SetChecked(i == 3 || i == 4);
    }
    items.EndUpdate();
}

// ============================================================================================
// Commands
// ============================================================================================

bool TForm1::WithProgress(const QString& label, const std::function<void()>& work)
{
    TProgressFeedback feedback(this, *OrvListView2, label, ProgressDelayMs, ProgressClock, OnProgressDialog);
    work();
    return !feedback.Cancelled();
}

void TForm1::Savetofile1Click()
{
    OrvListView2->SetSaveHeader(true);
    WithProgress(QStringLiteral("Saving test.dat..."),
        [this] { OrvListView2->SaveToFile(QStringLiteral("test.dat")); });
}

void TForm1::Loadfromfile1Click()
{
    OrvListView2->SetLoadHeader(true);
    WithProgress(QStringLiteral("Loading test.dat..."),
        [this] { OrvListView2->LoadFromFile(QStringLiteral("test.dat")); });
}

void TForm1::LoadfromCSV1Click()
{
    OrvListView2->SetLoadHeader(false);
    WithProgress(QStringLiteral("Loading cars.csv..."),
        [this] { OrvListView2->LoadFromCSV(QStringLiteral("cars.csv")); });
}

void TForm1::SavetoCSV1Click()
{
    OrvListView2->SetSaveHeader(false);
    WithProgress(QStringLiteral("Saving sample.csv..."),
        [this] { OrvListView2->SaveToCSV(QStringLiteral("sample.csv")); });
}

void TForm1::SavetoHTML1Click()
{
    if (!WithProgress(QStringLiteral("Saving sample.htm..."),
            [this] { OrvListView2->SaveToHTML(QStringLiteral("sample.htm")); }))
        return;
    if (OpenURL)
        OpenURL(
            QUrl::fromLocalFile(QDir::current().absoluteFilePath(QStringLiteral("sample.htm"))).toString());
}

void TForm1::SavetoXLS1Click()
{
    WithProgress(QStringLiteral("Saving sample.xls..."),
        [this] { OrvListView2->SaveToXLS(QStringLiteral("sample.xls")); });
}

void TForm1::SavetoDOC1Click()
{
    WithProgress(QStringLiteral("Saving sample.doc..."),
        [this] { OrvListView2->SaveToDOC(QStringLiteral("sample.doc")); });
}

void TForm1::SavetoXML1Click()
{
    const QStringList fieldNames { QStringLiteral("Car"), QStringLiteral("Type"), QStringLiteral("Cylinders"),
        QStringLiteral("Intro"), QStringLiteral("Power"), QStringLiteral("Price"), QStringLiteral("Web") };
    WithProgress(QStringLiteral("Saving test.xml..."), [&] {
        OrvListView2->SaveToXML(
            QStringLiteral("test.xml"), QStringLiteral("CARLIST"), QStringLiteral("CAR"), fieldNames);
    });
}

void TForm1::ApplyPrintOptions()
{
    TPrintsettings& print = OrvListView2->PrintSettings();
    print.SetTitleText(Edit2->text());
    // A title typed in the box is printed at the top centre, the slot time and date leave free.
    print.SetTitle(Edit2->text().isEmpty() ? ppNone : ppTopCenter);
    print.SetTime(CheckBox2->isChecked() ? ppTopLeft : ppNone);
    print.SetDate(CheckBox1->isChecked() ? ppTopRight : ppNone);
    print.SetPageNr(CheckBox3->isChecked() ? ppBottomCenter : ppNone);
    print.SetBorders(CheckBox4->isChecked() ? pbSingle : pbNoborder);
    print.SetFitToPage(CheckBox5->isChecked() ? fpAlways : fpNever);
    print.SetCentered(CheckBox6->isChecked());
}

void TForm1::Preview1Click()
{
    ApplyPrintOptions();
    TPreview preview(this, *OrvListView2);
    preview.ShowModal();
}

void TForm1::Print1Click()
{
    ApplyPrintOptions();
    if (PrinterSetupDialog1->exec() == QDialog::Accepted)
        WithProgress(QStringLiteral("Printing..."), [this] { OrvListView2->Print(*Printer); });
}

void TForm1::Clear1Click()
{
    OrvListView2->Items().Clear();
}

void TForm1::Cut1Click()
{
    OrvListView2->CutToClipboard();
}

void TForm1::Copy1Click()
{
    OrvListView2->CopyToClipboard();
}

void TForm1::Copyselected1Click()
{
    OrvListView2->CopySelectionToClipboard();
}

void TForm1::Paste1Click()
{
    OrvListView2->PasteFromClipboard();
}

// Every click flips the direction, whichever column was sorted before.
void TForm1::Column01Click(QAction* item)
{
    TOrvListView& list = *OrvListView2;
    list.SetSortDirection(list.SortDirection() == sdAscending ? sdDescending : sdAscending);
    list.SortByColumn(item->data().toInt());
}

void TForm1::Imageson1Click()
{
    TOrvListView& list = *OrvListView2;
    if (list.Items().Count() == 0) {
        Imageson1->setChecked(!Imageson1->isChecked()); // the check mark stays as it was
        return;
    }
    const bool on = Imageson1->isChecked();
    list.SetSubImages(on);
    for (int r = 0; r < list.Items().Count(); ++r)
        list.SetSubItemImage(r, 4, on ? int(QRandomGenerator::global()->bounded(4)) - 1 : -1);
    list.Invalidate();
}

void TForm1::Indents1Click()
{
    TOrvListView& list = *OrvListView2;
    if (TListColumn* first = list.Columns().Column(0))
        first->SetWidth(120);
    list.SetItemIndent(2, 0, 1);
    list.SetItemIndent(3, 0, 1);
    list.SetItemIndent(4, 0, 2);
    list.SetItemIndent(5, 0, 2);
}

void TForm1::Swaprows121Click()
{
    OrvListView2->SwapRows(1, 5);
}

void TForm1::Swapcolumns121Click()
{
    OrvListView2->SwapColumns(1, 5);
}

void TForm1::Moverow1to51Click()
{
    OrvListView2->MoveRow(1, 5);
}

void TForm1::Movecolumn1to51Click()
{
    OrvListView2->MoveColumn(1, 5);
}

void TForm1::CheckBox10Click()
{
    if (CheckBox10->isChecked())
        OrvListView3->HilightInList(ComboBox1->currentText(), true);
    else
        OrvListView3->UnHilightInList();
}

void TForm1::CheckBox11Click()
{
    if (CheckBox11->isChecked())
        OrvListView3->MarkInList(ComboBox2->currentText(), true);
    else
        OrvListView3->UnMarkInList();
}

void TForm1::Aligntop1Click()
{
    OrvListView2->SetVAlignment(vtaTop);
    Aligntop1->setChecked(true);
}

void TForm1::Aligncenter1Click()
{
    OrvListView2->SetVAlignment(vtaCenter);
    Aligncenter1->setChecked(true);
}

void TForm1::Alignbottom1Click()
{
    OrvListView2->SetVAlignment(vtaBottom);
    Alignbottom1->setChecked(true);
}

void TForm1::Font1Click()
{
    FontDialog1->setCurrentFont(OrvListView2->Font().ToQFont());
    if (FontDialog1->exec() == QDialog::Accepted)
        OrvListView2->SetFont(TFont::FromQFont(FontDialog1->selectedFont(), OrvListView2->Font().Color()));
}

void TForm1::RichText1Click()
{
    TOrvListView& list = *OrvListView2;
    if (list.Items().Count() < 2)
        return; // nothing to put the rich text into
    TOrvRichEdit& rich = list.RichEdit();
    rich.SetText(QStringLiteral("This is rich text"));
    rich.SetSelection(0, 4);
    rich.SetSelColor(0xFF0000);
    rich.SetSelection(8, 4);
    rich.SetSelStyle(fsBold);
    rich.SetSelColor(0x0000FF);
    rich.SetSelection(13, 4);
    rich.SetSuperscript();
    list.RichToCell(1, 1);
}

void TForm1::HTMLText1Click()
{
    TOrvListView& list = *OrvListView2;
    // Rows with fewer texts are padded to reach column 6.
    auto setText = [&list](int row, const QString& text) {
        QStringList& subItems = list.Items()[row].SubItems();
        while (subItems.size() < 6)
            subItems.append(QString());
        subItems[5] = text;
    };
    const int rows = list.Items().Count();
    for (int i = 0; i < rows; ++i)
        setText(i, QStringLiteral("<FONT color=\"clblue\">This</FONT> is item <B>(%1)</B>").arg(i + 1));
    if (rows > 0)
        setText(0, QStringLiteral("<IMG src=\"idx:0\"> is an image<B></B>"));
    if (rows > 1)
        setText(1, QStringLiteral("This is an <A HREF=\"action\">anchor</A>"));
    if (rows > 2)
        setText(2, QStringLiteral("This is the URL <A HREF=\"%1\">%1</A>").arg(kProductPage));
    list.Invalidate();
}

void TForm1::Flatheader1Click()
{
    OrvListView2->SetHeaderFlatStyle(Flatheader1->isChecked());
}

void TForm1::About1Click()
{
    DemoMessages::Show(DemoMessages::mkInformation,
        QStringLiteral("TOrvListView version 1.54\nZelt software\n%1").arg(OrvListView2->VersionText()),
        this);
}

void TForm1::Label3Click()
{
    if (OpenURL)
        OpenURL(kProductPage);
}

void TForm1::RadioGroup1Click()
{
    const int index = RadioGroup1->ItemIndex();
    OrvListView2->SetReArrangeItems(index == 0);
    OrvListView2->SetHotTrack(index == 1);
}

void TForm1::SpinEdit1Change()
{
    if (!SpinEdit1->text().isEmpty())
        OrvListView2->SetItemHeight(SpinEdit1->value());
}

void TForm1::multiselClick()
{
    OrvListView2->SetMultiSelect(multisel->isChecked());
}

void TForm1::CheckBox8Click()
{
    OrvListView2->SetFilterBar(CheckBox8->isChecked());
    OrvListView2->SetFilterTimeOut(2000);
}

void TForm1::subeditClick()
{
    const bool on = subedit->isChecked();
    OrvListView2->SetRowSelect(!on);
    OrvListView2->SetSubItemEdit(on);
    OrvListView2->SetReadOnly(!on);
    if (on) {
        RadioGroup1->SetItemIndex(2);
        OrvListView2->SetReArrangeItems(false);
        OrvListView2->SetHotTrack(false);
    }
}

void TForm1::subselClick()
{
    const bool on = subsel->isChecked();
    OrvListView2->SetRowSelect(!on);
    OrvListView2->SetSubItemSelect(on);
    if (on) {
        RadioGroup1->SetItemIndex(2);
        OrvListView2->SetReArrangeItems(false);
        OrvListView2->SetHotTrack(false);
    }
}

void TForm1::CheckBox9Click()
{
    OrvListView2->SetCheckboxes(CheckBox9->isChecked());
}

void TForm1::Button4Click()
{
    OrvListView2->AutoSizeColumns();
}

void TForm1::Button8Click()
{
    const TFont& current = OrvListView2->PrintSettings().Font();
    // The dialog offers point sizes: give it the font by its size in points.
    QFont font = current.ToQFont();
    font.setPointSize(std::max(1, current.Size()));
    FontDialog1->setCurrentFont(font);
    if (FontDialog1->exec() == QDialog::Accepted)
        OrvListView2->PrintSettings().SetFont(TFont::FromQFont(FontDialog1->selectedFont(), current.Color()));
}

void TForm1::detailClick()
{
    const bool on = detail->isChecked();
    OrvListView1->DetailView().SetVisible(on);
    OrvListView1->SetItemHeight(on ? 60 : 16);
}
