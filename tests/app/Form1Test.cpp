// The demo's main window: layout, names, menus, the stored list settings and the start-up load.
#include "app/DemoMessages.h"
#include "app/TForm1.h"
#include "app/TFormFitter.h"
#include "app/TRadioGroup.h"
#include "platform/OrvExceptions.h"
#include "listview/TOrvListView.h"
#include "platform/TImageList.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSpinBox>
#include <QStatusBar>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

struct Message {
    DemoMessages::TMessageKind kind;
    QString text;
};

// Runs a test in a fresh working directory (with or without the demo data) and records the
// messages the window would have shown.
class DemoWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_previous = QDir::currentPath();
        QDir::setCurrent(m_dir.path());
        DemoMessages::SetSink([this](DemoMessages::TMessageKind kind, const QString& text) {
            messages.push_back({ kind, text });
        });
    }
    void TearDown() override
    {
        form.reset();
        DemoMessages::SetSink({});
        QDir::setCurrent(m_previous);
    }
    void CopyDemoData()
    {
        for (const char* name : { "test.csv", "cars.csv" }) {
            const QString source = QStringLiteral(ORV_SOURCE_DIR "/app/data/") + QString::fromLatin1(name);
            ASSERT_TRUE(QFile::copy(source, m_dir.filePath(QString::fromLatin1(name)))) << name;
        }
    }
    TForm1& Open()
    {
        form = std::make_unique<TForm1>();
        form->OpenURL = [this](const QString& url) { opened.push_back(url); };
        form->show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        return *form;
    }
    QString DirPath() const { return m_dir.path(); }

    std::unique_ptr<TForm1> form;
    std::vector<Message> messages;
    std::vector<QString> opened;

private:
    QTemporaryDir m_dir;
    QString m_previous;
};

// A control sits at its designed place or moved from it by no more than the room the style's
// titles, frames and controls need (a group box's children start below its title).
void ExpectNearDesign(TForm1& f, QWidget* widget, const char* name)
{
    ASSERT_TRUE(f.Fitter().IsDesigned(widget)) << name;
    const QRect designed = f.Fitter().Designed(widget);
    QPoint origin = designed.topLeft();
    if (auto* group = qobject_cast<QGroupBox*>(widget->parentWidget()))
        origin.ry() += group->contentsRect().top() - TFormFitter::kDesignContentTop;
    origin = QPoint(std::max(origin.x(), 0), std::max(origin.y(), 0));
    const QPoint moved = widget->pos() - origin;
    EXPECT_LE(std::abs(moved.x()), 12) << name; // left only to stay inside the page
    EXPECT_GE(moved.y(), 0) << name;
    EXPECT_LE(moved.y(), 40) << name;
}

TEST_F(DemoWindow, WindowHasAFixedClientAreaWithStatusBarAndThreePages)
{
    CopyDemoData();
    TForm1& f = Open();
    EXPECT_EQ(f.windowTitle(), QStringLiteral("Zelt software : TOrvListView demo"));
    const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
    if (screen.contains(QRect(QPoint(446, 106), f.frameGeometry().size()))) {
        EXPECT_EQ(f.pos(), QPoint(446, 106));
    } else {
        EXPECT_TRUE(screen.contains(f.frameGeometry())); // moved to stay visible
    }
    EXPECT_EQ(f.minimumSize(), f.maximumSize()); // not resizable
    EXPECT_EQ(f.centralWidget()->width(), 554);
    EXPECT_EQ(f.centralWidget()->height() + f.StatusBar1->height(), 538);
    EXPECT_EQ(f.StatusBar1->height(), 19);
    EXPECT_EQ(f.StatusBar1->geometry().bottom() + 1, f.height()); // along the bottom edge

    ASSERT_EQ(f.PageControl1->count(), 3);
    EXPECT_EQ(f.PageControl1->tabText(0), QStringLiteral("Sample 1"));
    EXPECT_EQ(f.PageControl1->tabText(1), QStringLiteral("Sample 2"));
    EXPECT_EQ(f.PageControl1->tabText(2), QStringLiteral("Sample 3"));
    EXPECT_EQ(f.PageControl1->currentWidget(), f.TabSheet1);
    EXPECT_EQ(f.PageControl1->widget(1)->objectName(), QStringLiteral("TabSheet2"));
}

TEST_F(DemoWindow, ControlsHaveTheirNamesCaptionsPlacesAndStartStates)
{
    CopyDemoData();
    TForm1& f = Open();
    struct Box {
        QCheckBox* box;
        const char* name;
        const char* caption;
        int left, top;
        bool checked;
        QWidget* parent;
    };
    const Box boxes[] = {
        { f.CheckBox7, "CheckBox7", "Enable column size", 243, 12, true, f.GroupBox1 },
        { f.multisel, "multisel", "Multiselect", 243, 28, false, f.GroupBox1 },
        { f.CheckBox8, "CheckBox8", "Filterbar", 243, 44, false, f.GroupBox1 },
        { f.subedit, "subedit", "Subitem editing", 376, 12, false, f.GroupBox1 },
        { f.subsel, "subsel", "Subitem select", 376, 28, false, f.GroupBox1 },
        { f.CheckBox9, "CheckBox9", "CheckBoxes", 376, 44, false, f.GroupBox1 },
        { f.CheckBox1, "CheckBox1", "Print date", 8, 39, true, f.GroupBox2 },
        { f.CheckBox2, "CheckBox2", "Print time", 8, 59, true, f.GroupBox2 },
        { f.CheckBox3, "CheckBox3", "Print page numbers", 88, 39, true, f.GroupBox2 },
        { f.CheckBox4, "CheckBox4", "Print borders", 88, 59, true, f.GroupBox2 },
        { f.CheckBox5, "CheckBox5", "Fit to page", 224, 40, false, f.GroupBox2 },
        { f.CheckBox6, "CheckBox6", "Print centered", 224, 59, false, f.GroupBox2 },
        { f.detail, "detail", "Toggle detailview", 336, 8, true, f.TabSheet2 },
        { f.CheckBox10, "CheckBox10", "Hilight text", 8, 16, false, f.TabSheet3 },
        { f.CheckBox11, "CheckBox11", "Mark text", 208, 16, false, f.TabSheet3 },
    };
    for (const Box& b : boxes) {
        ASSERT_NE(b.box, nullptr) << b.name;
        EXPECT_EQ(b.box->objectName(), QString::fromLatin1(b.name));
        EXPECT_EQ(b.box->text(), QString::fromLatin1(b.caption)) << b.name;
        EXPECT_EQ(b.box->parentWidget(), b.parent) << b.name;
        EXPECT_EQ(f.Fitter().Designed(b.box).topLeft(), QPoint(b.left, b.top)) << b.name;
        ExpectNearDesign(f, b.box, b.name);
        EXPECT_EQ(b.box->isChecked(), b.checked) << b.name;
        EXPECT_EQ(f.findChild<QCheckBox*>(QString::fromLatin1(b.name)), b.box) << b.name;
    }

    struct Placed {
        QWidget* widget;
        const char* name;
        QRect geometry; // width/height 0: not fixed
    };
    const Placed placed[] = {
        { f.Label2, "Label2", QRect(373, -2, 0, 0) },
        { f.Label3, "Label3", QRect(470, -2, 0, 0) },
        { f.RadioGroup1, "RadioGroup1", QRect(8, 11, 529, 33) },
        { f.GroupBox1, "GroupBox1", QRect(8, 45, 529, 68) },
        { f.Label1, "Label1", QRect(13, 21, 0, 0) },
        { f.SpinEdit1, "SpinEdit1", QRect(88, 17, 65, 0) },
        { f.Button4, "Button4", QRect(160, 16, 75, 25) },
        { f.GroupBox2, "GroupBox2", QRect(8, 120, 529, 81) },
        { f.Label7, "Label7", QRect(8, 19, 0, 0) },
        { f.Edit2, "Edit2", QRect(44, 16, 325, 0) },
        { f.Button8, "Button8", QRect(380, 12, 89, 29) },
        { f.OrvListView2, "OrvListView2", QRect(8, 208, 529, 273) },
        { f.Label4, "Label4", QRect(8, 8, 0, 0) },
        { f.OrvListView1, "OrvListView1", QRect(8, 32, 529, 449) },
        { f.ComboBox1, "ComboBox1", QRect(88, 13, 105, 0) },
        { f.ComboBox2, "ComboBox2", QRect(280, 13, 105, 0) },
        { f.OrvListView3, "OrvListView3", QRect(8, 40, 529, 441) },
    };
    for (const Placed& p : placed) {
        ASSERT_NE(p.widget, nullptr) << p.name;
        EXPECT_EQ(p.widget->objectName(), QString::fromLatin1(p.name));
        const QRect designed = f.Fitter().Designed(p.widget);
        EXPECT_EQ(designed.topLeft(), p.geometry.topLeft()) << p.name;
        if (p.geometry.width() > 0) {
            EXPECT_EQ(designed.width(), p.geometry.width()) << p.name;
            // Widths are kept; only a group box may widen for its contents.
            if (qobject_cast<QGroupBox*>(p.widget)) {
                EXPECT_GE(p.widget->width(), p.geometry.width()) << p.name;
            } else {
                EXPECT_EQ(p.widget->width(), p.geometry.width()) << p.name;
            }
        }
        if (p.geometry.height() > 0) {
            EXPECT_EQ(designed.height(), p.geometry.height()) << p.name;
        }
        ExpectNearDesign(f, p.widget, p.name);
    }
    // The lists keep their designed bottom edges, whatever the controls above them needed.
    EXPECT_EQ(f.OrvListView2->geometry().bottom(), 208 + 273 - 1);
    EXPECT_EQ(f.OrvListView1->geometry().bottom(), 32 + 449 - 1);
    EXPECT_EQ(f.OrvListView3->geometry().bottom(), 40 + 441 - 1);

    EXPECT_EQ(f.Label2->text(), QStringLiteral("TOrvListview v1.54"));
    EXPECT_EQ(f.Label3->text(), QStringLiteral("Zelt software"));
    EXPECT_TRUE(f.Label3->font().underline());
    EXPECT_EQ(f.Label3->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(f.RadioGroup1->title(), QStringLiteral("Mouse control"));
    ASSERT_EQ(f.RadioGroup1->Count(), 3);
    EXPECT_EQ(f.RadioGroup1->Button(0)->text(), QStringLiteral("Item rearrange"));
    EXPECT_EQ(f.RadioGroup1->Button(1)->text(), QStringLiteral("Hottrack"));
    EXPECT_EQ(f.RadioGroup1->Button(2)->text(), QStringLiteral("None"));
    EXPECT_EQ(f.RadioGroup1->ItemIndex(), 1);
    EXPECT_EQ(f.GroupBox1->title(), QStringLiteral("Various"));
    EXPECT_EQ(f.GroupBox2->title(), QStringLiteral("Printing"));
    EXPECT_EQ(f.GroupBox2->toolTip(), QStringLiteral("Performs printing of the grid"));
    EXPECT_EQ(f.Label1->text(), QStringLiteral("Height of items"));
    EXPECT_EQ(f.SpinEdit1->minimum(), 12);
    EXPECT_EQ(f.SpinEdit1->maximum(), 40);
    EXPECT_EQ(f.SpinEdit1->value(), 13);
    EXPECT_EQ(f.Button4->text(), QStringLiteral("Autosize"));
    EXPECT_EQ(f.Button8->text(), QStringLiteral("Print font"));
    EXPECT_EQ(f.Label7->text(), QStringLiteral("Title :"));
    EXPECT_TRUE(f.Edit2->text().isEmpty());
    EXPECT_EQ(
        f.Label4->text(), QStringLiteral("TOrvListView with multiline ownerdraw header and detail pane"));
    EXPECT_EQ(f.ComboBox1->count(), 3);
    EXPECT_EQ(f.ComboBox1->itemText(2), QStringLiteral("Porsche"));
    EXPECT_FALSE(f.ComboBox1->isEditable());
    EXPECT_EQ(f.ComboBox2->itemText(1), QStringLiteral("Mercedes"));

    // Clicking the link label opens the product page.
    QTest::mouseClick(f.Label3, Qt::LeftButton);
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_TRUE(opened[0].contains(QStringLiteral("://")));
}

TEST_F(DemoWindow, MainMenuHasEveryItemInOrder)
{
    CopyDemoData();
    TForm1& f = Open();
    const QList<QAction*> top = f.MainMenu1->actions();
    // The captions as shown: the access-key marks underline a letter, they are not text.
    auto shown = [](const QAction* a) { return QString(a->text()).remove(u'&'); };
    QStringList topTexts;
    for (QAction* a : top)
        topTexts << shown(a);
    EXPECT_EQ(topTexts, (QStringList { "File", "Edit", "Sort", "Draw", "Move", "About" }));
    EXPECT_EQ(top.last()->menu(), nullptr); // About runs a command itself

    auto itemsOf = [&shown](QMenu* menu) {
        QStringList texts;
        for (QAction* a : menu->actions())
            texts << (a->isSeparator() ? QStringLiteral("-") : shown(a));
        return texts;
    };
    EXPECT_EQ(itemsOf(f.File1),
        (QStringList { "Save to file", "Load from file", "Load from CSV", "Save to CSV", "Save to HTML",
            "Save to XLS", "Save to DOC", "Save to XML", "Preview", "Print", "Clear" }));
    EXPECT_EQ(itemsOf(f.Edit1), (QStringList { "Cut", "Copy", "Copy selected", "Paste" }));
    EXPECT_EQ(itemsOf(f.Sort1),
        (QStringList { "Column 0", "Column 1", "Column 2", "Column 3", "Column 4", "Column 5" }));
    EXPECT_EQ(itemsOf(f.Draw1),
        (QStringList { "Align top", "Align center", "Align bottom", "-", "Images", "Font", "Rich Text",
            "HTML Text", "Indents", "-", "Flat header" }));
    EXPECT_EQ(itemsOf(f.Move1),
        (QStringList { "Swap rows 1-5", "Swap columns 1-5", "Move row 1 to 5", "Move column 1 to 5" }));
    for (int c = 0; c < 6; ++c)
        EXPECT_EQ(f.ColumnItems[c]->data().toInt(), c);
    EXPECT_TRUE(f.Aligncenter1->isChecked());
    EXPECT_FALSE(f.Aligntop1->isChecked());
    EXPECT_FALSE(f.Alignbottom1->isChecked());
    EXPECT_EQ(f.Aligntop1->actionGroup(), f.Alignbottom1->actionGroup());

    // The alignment items form one radio group and drive the Sample 1 list.
    f.Alignbottom1->trigger();
    EXPECT_TRUE(f.Alignbottom1->isChecked());
    EXPECT_FALSE(f.Aligncenter1->isChecked());
    EXPECT_EQ(f.OrvListView2->VAlignment(), vtaBottom);
}

TEST_F(DemoWindow, ListsComeUpWithTheirStoredSettings)
{
    CopyDemoData();
    TForm1& f = Open();
    for (TOrvListView* list : { f.OrvListView2, f.OrvListView1, f.OrvListView3 }) {
        const QString name = list->objectName();
        EXPECT_EQ(list->ViewStyle(), vsReport) << name.toStdString();
        EXPECT_TRUE(list->OwnerDraw() && list->HeaderOwnerDraw()) << name.toStdString();
        EXPECT_EQ(list->FilterTimeOut(), 500) << name.toStdString();
        EXPECT_EQ(list->HTMLSettings().Width(), 100);
        EXPECT_EQ(list->DetailView().Font().Color(), clBlue);
        EXPECT_EQ(list->DetailView().Font().Name(), QStringLiteral("MS Sans Serif"));
        EXPECT_EQ(list->PrintSettings().DateFormat(), QStringLiteral("dd/mm/yyyy"));
        EXPECT_EQ(list->PrintSettings().Font().Color(), clWindowText);
        EXPECT_FALSE(list->ColumnSize().Save());
        EXPECT_TRUE(list->TimerRunning()) << name.toStdString();
    }
    TOrvListView& s1 = *f.OrvListView2;
    EXPECT_TRUE(s1.ReadOnly() && s1.RowSelect() && !s1.Checkboxes());
    EXPECT_EQ(s1.SmallImages(), f.ImageList1.get());
    EXPECT_EQ(s1.HeaderImages(), f.HeaderImages.get());
    EXPECT_TRUE(s1.AutoHint() && s1.HeaderHotTrack() && s1.HeaderDragDrop() && s1.SortShow() && s1.URLShow());
    EXPECT_EQ(s1.SelectionColor(), clRed);
    EXPECT_EQ(s1.HeaderFont().Name(), QStringLiteral("Tahoma"));
    EXPECT_EQ(s1.HeaderFont().Color(), clBlue);
    EXPECT_EQ(s1.SortUpGlyph().Width(), 14);
    EXPECT_EQ(s1.SortDownGlyph().Height(), 13);
    EXPECT_EQ(s1.ItemHeight(), 13);
    EXPECT_EQ(s1.DetailView().Height(), 0);
    EXPECT_EQ(s1.PrintSettings().TitleText(), QStringLiteral("This is a test"));
    EXPECT_EQ(s1.PrintSettings().PagePrefix(), QStringLiteral("page"));
    EXPECT_TRUE(s1.HTMLSettings().PrefixTag().startsWith(QStringLiteral("<body bgcolor=")));
    EXPECT_EQ(s1.HTMLSettings().SuffixTag(), QStringLiteral("</font>"));
    EXPECT_TRUE(s1.OnDrawItemProp && s1.OnGetFormat && s1.OnRawCompare && s1.OnColumnRClick
        && s1.OnStartColumnTrack && s1.OnFilterChange && s1.OnFilterBtnClick && s1.OnAnchorClick
        && s1.OnAnchorEnter && s1.OnAnchorExit);
    EXPECT_FALSE(s1.HotTrack()); // the radio group shows Hottrack, the list starts without it
    EXPECT_FALSE(s1.ReArrangeItems());

    TOrvListView& s2 = *f.OrvListView1;
    ASSERT_EQ(s2.Columns().Count(), 4);
    EXPECT_EQ(s2.Columns()[0].Caption(), QStringLiteral("<b>Zelt</b><br>Component"));
    EXPECT_EQ(s2.Columns()[0].Width(), 150);
    EXPECT_EQ(s2.Columns()[1].Caption(), QStringLiteral("<b>Vostra</b><br>Compatibility"));
    EXPECT_EQ(s2.Columns()[1].Width(), 100);
    EXPECT_EQ(s2.Columns()[2].Caption(), QStringLiteral("Release date"));
    EXPECT_EQ(s2.Columns()[2].Width(), 120);
    EXPECT_EQ(s2.Columns()[3].Caption(), QStringLiteral("Web"));
    EXPECT_TRUE(s2.Checkboxes() && s2.SubItemEdit() && s2.SubItemSelect() && s2.WordWrap());
    EXPECT_EQ(s2.CheckTrueGlyph().Width(), 16);
    EXPECT_FALSE(s2.CheckFalseGlyph().Empty());
    EXPECT_EQ(s2.SmallImages(), f.ImageList2.get());
    EXPECT_EQ(s2.HeaderImages(), f.ImageList1.get());
    EXPECT_EQ(s2.HeaderHeight(), 32);
    EXPECT_EQ(s2.HeaderFont().Height(), -13);
    EXPECT_EQ(s2.URLColor(), clGreen);
    EXPECT_EQ(s2.VAlignment(), vtaTop);
    EXPECT_EQ(s2.ItemHeight(), 60);
    EXPECT_EQ(s2.RowHeight(), 60);
    EXPECT_TRUE(s2.DetailView().Visible() && s2.DetailView().SplitLine());
    EXPECT_EQ(s2.DetailView().Column(), 4);
    EXPECT_EQ(s2.DetailView().Height(), 40);
    EXPECT_EQ(s2.DetailView().Indent(), 20);
    EXPECT_FALSE(s2.OnDrawItemProp);

    TOrvListView& s3 = *f.OrvListView3;
    EXPECT_FALSE(s3.ReadOnly() || s3.RowSelect() || s3.SortShow() || s3.URLShow());
    EXPECT_EQ(s3.SmallImages(), nullptr);
    EXPECT_EQ(s3.HeaderImages(), nullptr);
    EXPECT_EQ(s3.ItemHeight(), 15);
    EXPECT_TRUE(s3.SortUpGlyph().Empty());
    EXPECT_EQ(s3.DetailView().Height(), 16);
}

TEST_F(DemoWindow, StartUpLoadsTestCsvIntoSamplesOneAndThree)
{
    CopyDemoData();
    TForm1& f = Open();
    EXPECT_TRUE(messages.empty()) << (messages.empty() ? "" : messages[0].text.toStdString());
    for (TOrvListView* list : { f.OrvListView2, f.OrvListView3 }) {
        ASSERT_EQ(list->Columns().Count(), 7);
        EXPECT_EQ(list->Columns()[0].Caption(), QStringLiteral("Car"));
        EXPECT_EQ(list->Columns()[6].Caption(), QStringLiteral("Web"));
        EXPECT_GE(list->Items().Count(), 15);
        EXPECT_TRUE(list->LoadHeader());
    }
    QStringList makes;
    for (int r = 0; r < f.OrvListView3->Items().Count(); ++r)
        makes << f.OrvListView3->Cells(0, r);
    for (const char* make : { "BMW", "Audi", "Porsche", "Ferrari", "Mercedes" })
        EXPECT_TRUE(makes.contains(QString::fromLatin1(make))) << make;
    EXPECT_TRUE(f.OrvListView3->Cells(4, 0).endsWith(QStringLiteral("pk")));
    EXPECT_TRUE(f.OrvListView3->Cells(6, 0).contains(QStringLiteral("://")));
    EXPECT_EQ(f.OrvListView2->Columns()[2].Alignment(), taRightJustify);
    EXPECT_EQ(f.OrvListView2->Columns()[3].Alignment(), taRightJustify);
    EXPECT_EQ(f.OrvListView2->Columns()[1].Alignment(), taLeftJustify);
    // Sample 3 starts with its columns fitted: the web column is wider than the cylinders column.
    EXPECT_GT(f.OrvListView3->Columns()[6].Width(), f.OrvListView3->Columns()[2].Width());
    EXPECT_NE(f.OrvListView3->Columns()[6].Width(), 50);
    f.Button4->click();
    EXPECT_GT(f.OrvListView2->Columns()[6].Width(), f.OrvListView2->Columns()[2].Width());
    EXPECT_EQ(f.ComboBox1->currentText(), QStringLiteral("BMW"));
    EXPECT_EQ(f.ComboBox2->currentText(), QStringLiteral("Ferrari"));

    // The catalogue: six marked-up rows, the fourth and fifth checked, a description beyond the
    // columns for the detail line.
    TOrvListView& catalogue = *f.OrvListView1;
    ASSERT_EQ(catalogue.Items().Count(), 6);
    for (int r = 0; r < 6; ++r) {
        EXPECT_EQ(catalogue.Items()[r].Checked(), r == 3 || r == 4) << r;
        EXPECT_EQ(catalogue.ContentKind(catalogue.Cells(0, r)), ckMarkup) << r;
        EXPECT_TRUE(catalogue.Cells(3, r).contains(QStringLiteral(">View</a>"))) << r;
        EXPECT_FALSE(catalogue.Cells(4, r).isEmpty()) << r;
    }

    // "Load from CSV" appends cars.csv; "Save to CSV" writes what the list holds.
    const int before = f.OrvListView2->Items().Count();
    f.LoadfromCSV1->trigger();
    EXPECT_GT(f.OrvListView2->Items().Count(), before);
    EXPECT_EQ(f.OrvListView2->Columns().Count(), 7);
    f.SavetoCSV1->trigger();
    QFile saved(QDir(DirPath()).filePath(QStringLiteral("sample.csv")));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    EXPECT_EQ(saved.readAll().count('\n'), f.OrvListView2->Items().Count());
    f.Clear1->trigger();
    EXPECT_EQ(f.OrvListView2->Items().Count(), 0);
    EXPECT_EQ(f.OrvListView2->Columns().Count(), 7);
}

TEST_F(DemoWindow, FileCommandsWriteAndReadTheirFiles)
{
    CopyDemoData();
    TForm1& f = Open();
    TOrvListView& list = *f.OrvListView2;
    const QString firstCar = list.Cells(0, 0);
    const int rows = list.Items().Count();
    const QDir dir(DirPath());

    f.Savetofile1->trigger();
    EXPECT_TRUE(list.SaveHeader());
    ASSERT_TRUE(dir.exists(QStringLiteral("test.dat")));
    f.Clear1->trigger();
    f.Loadfromfile1->trigger();
    EXPECT_TRUE(list.LoadHeader());
    EXPECT_EQ(list.Items().Count(), rows);
    EXPECT_EQ(list.Cells(0, 0), firstCar);
    EXPECT_EQ(list.Columns()[0].Caption(), QStringLiteral("Car"));

    f.SavetoHTML1->trigger();
    ASSERT_TRUE(dir.exists(QStringLiteral("sample.htm")));
    ASSERT_EQ(opened.size(), 1u); // the saved page is handed to the system
    EXPECT_TRUE(opened[0].endsWith(QStringLiteral("/sample.htm")));

    f.SavetoXML1->trigger();
    QFile xml(dir.filePath(QStringLiteral("test.xml")));
    ASSERT_TRUE(xml.open(QIODevice::ReadOnly));
    const QByteArray text = xml.readAll();
    EXPECT_TRUE(text.contains("<CARLIST>"));
    EXPECT_EQ(text.count("<CAR>"), rows);
    EXPECT_TRUE(text.contains("<Cylinders>"));
    EXPECT_TRUE(text.contains(firstCar.toUtf8()));

    // The office documents either appear or their failure is reported; the window stays.
    messages.clear();
    f.SavetoXLS1->trigger();
    f.SavetoDOC1->trigger();
    EXPECT_EQ(int(messages.size()) + int(dir.exists(QStringLiteral("sample.xls")))
            + int(dir.exists(QStringLiteral("sample.doc"))),
        2);
    EXPECT_TRUE(f.isVisible());
}

TEST_F(DemoWindow, SortMoveImageAndMarkCommands)
{
    CopyDemoData();
    TForm1& f = Open();
    TOrvListView& list = *f.OrvListView2;
    const int rows = list.Items().Count();
    auto columnSorted = [&list, rows](int column, bool ascending) {
        for (int r = 0; r + 1 < rows; ++r) {
            const int cmp = QString::compare(list.Cells(column, r), list.Cells(column, r + 1));
            if (ascending ? cmp > 0 : cmp < 0)
                return false;
        }
        return true;
    };
    // Start-up sorted column 1 ascending; every menu click flips the direction.
    EXPECT_TRUE(columnSorted(1, true));
    f.ColumnItems[1]->trigger();
    EXPECT_EQ(list.SortDirection(), sdDescending);
    EXPECT_TRUE(columnSorted(1, false));
    f.ColumnItems[0]->trigger();
    EXPECT_EQ(list.SortDirection(), sdAscending);
    EXPECT_TRUE(columnSorted(0, true));

    const QString row1 = list.Cells(1, 1);
    const QString row5 = list.Cells(1, 5);
    f.Swaprows121->trigger();
    EXPECT_EQ(list.Cells(1, 1), row5);
    EXPECT_EQ(list.Cells(1, 5), row1);
    f.Moverow1to51->trigger(); // row 1 (now row5's text) moves to index 5
    EXPECT_EQ(list.Cells(1, 5), row5);
    EXPECT_EQ(list.Items().Count(), rows);

    f.Swapcolumns121->trigger();
    const std::vector<int> order = list.ColumnOrder();
    EXPECT_EQ(order[1], 5);
    EXPECT_EQ(order[5], 1);

    f.Indents1->trigger();
    EXPECT_EQ(list.Columns()[0].Width(), 120);
    EXPECT_EQ(list.GetItemIndent(2, 0), 1);
    EXPECT_EQ(list.GetItemIndent(5, 0), 2);

    f.Imageson1->trigger();
    EXPECT_TRUE(f.Imageson1->isChecked());
    EXPECT_TRUE(list.SubImages());
    for (int r = 0; r < rows; ++r) {
        const int image = list.GetSubItemImage(r, 4);
        EXPECT_TRUE(image >= -1 && image <= 2) << r;
    }
    f.Imageson1->trigger();
    EXPECT_FALSE(list.SubImages());
    EXPECT_EQ(list.GetSubItemImage(0, 4), -1);
    // On an empty list "Images" does nothing, its check mark included.
    f.Clear1->trigger();
    f.Imageson1->trigger();
    EXPECT_FALSE(f.Imageson1->isChecked());
    EXPECT_FALSE(list.SubImages());

    // Highlighting on Sample 3 changes the cells holding the word and is undone exactly.
    TOrvListView& s3 = *f.OrvListView3;
    QStringList before;
    for (int r = 0; r < s3.Items().Count(); ++r)
        before << s3.Cells(0, r);
    f.CheckBox10->click();
    int changed = 0;
    for (int r = 0; r < s3.Items().Count(); ++r) {
        if (s3.Cells(0, r) != before[r]) {
            ++changed;
            EXPECT_EQ(before[r], QStringLiteral("BMW")) << r;
        }
    }
    EXPECT_EQ(changed, int(before.count(QStringLiteral("BMW"))));
    f.CheckBox10->click();
    for (int r = 0; r < s3.Items().Count(); ++r)
        EXPECT_EQ(s3.Cells(0, r), before[r]) << r;
}

TEST_F(DemoWindow, IntroColumnSortsChronologicallyUnderEveryLocale)
{
    // The Intro column holds dd-mm-yyyy dates; it must sort by date whatever the user's locale
    // writes short dates like.
    CopyDemoData();
    const QLocale previous;
    for (const char* name : { "C", "en_US", "de_DE", "nl_NL" }) {
        SCOPED_TRACE(name);
        QLocale::setDefault(QLocale(QString::fromLatin1(name)));
        TForm1& f = Open();
        TOrvListView& list = *f.OrvListView2;
        list.SetSortDirection(sdAscending);
        list.SortByColumn(3);
        QDate last;
        for (int r = 0; r < list.Items().Count(); ++r) {
            const QDate date = QDate::fromString(list.Cells(3, r), QStringLiteral("dd-MM-yyyy"));
            ASSERT_TRUE(date.isValid()) << list.Cells(3, r).toStdString();
            EXPECT_LE(last, date) << r;
            last = date;
        }
        form.reset();
    }
    QLocale::setDefault(previous);
}

TEST_F(DemoWindow, MissingTestCsvIsReportedOnceAndTheWindowStillOpens)
{
    TForm1& f = Open();
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].kind, DemoMessages::mkError);
    EXPECT_EQ(messages[0].text, QStringLiteral("File cannot be opened"));
    EXPECT_TRUE(f.isVisible());
    EXPECT_EQ(f.OrvListView2->Items().Count(), 0);
    EXPECT_EQ(f.OrvListView3->Columns().Count(), 0);
    EXPECT_EQ(f.ComboBox1->currentIndex(), -1);
    EXPECT_EQ(f.ComboBox2->currentIndex(), -1);
    EXPECT_EQ(f.OrvListView1->Columns().Count(), 4);
    EXPECT_EQ(f.OrvListView1->Items().Count(), 0);
}

TEST_F(DemoWindow, OptionControlsDriveTheirList)
{
    CopyDemoData();
    TForm1& f = Open();
    TOrvListView& list = *f.OrvListView2;

    f.RadioGroup1->Button(0)->click();
    EXPECT_TRUE(list.ReArrangeItems());
    EXPECT_FALSE(list.HotTrack());
    f.RadioGroup1->Button(1)->click();
    EXPECT_FALSE(list.ReArrangeItems());
    EXPECT_TRUE(list.HotTrack());

    f.SpinEdit1->setValue(30);
    EXPECT_EQ(list.ItemHeight(), 30);

    f.CheckBox8->click();
    EXPECT_TRUE(list.FilterBar());
    EXPECT_EQ(list.FilterTimeOut(), 2000);

    f.subedit->click();
    EXPECT_TRUE(list.SubItemEdit());
    EXPECT_FALSE(list.RowSelect() || list.ReadOnly() || list.HotTrack() || list.ReArrangeItems());
    EXPECT_EQ(f.RadioGroup1->ItemIndex(), 2);
    f.subedit->click();
    EXPECT_TRUE(list.RowSelect() && list.ReadOnly());
    EXPECT_EQ(f.RadioGroup1->ItemIndex(), 2); // stays at None

    f.CheckBox9->click();
    EXPECT_TRUE(list.Checkboxes());
    f.multisel->click();
    EXPECT_TRUE(list.MultiSelect());

    f.detail->click();
    EXPECT_FALSE(f.OrvListView1->DetailView().Visible());
    EXPECT_EQ(f.OrvListView1->ItemHeight(), 16);
    f.detail->click();
    EXPECT_TRUE(f.OrvListView1->DetailView().Visible());
    EXPECT_EQ(f.OrvListView1->ItemHeight(), 60);
}

TEST_F(DemoWindow, RichAndMarkupCommandsFillTheirCells)
{
    CopyDemoData();
    TForm1& f = Open();
    TOrvListView& list = *f.OrvListView2;
    f.RichText1->trigger();
    EXPECT_TRUE(CellContent::IsRichText(list.Cells(2, 1)));
    TRichEdit check;
    list.CellToRich(1, 1, check);
    EXPECT_EQ(check.PlainText(), QStringLiteral("This is rich text"));
    EXPECT_EQ(check.CharOffset(14), 40); // "text" raised
    EXPECT_EQ(check.CharStyle(9) & fsBold, fsBold);

    f.HTMLText1->trigger();
    EXPECT_EQ(list.Cells(6, 1), QStringLiteral("This is an <A HREF=\"action\">anchor</A>"));
    EXPECT_EQ(list.Cells(6, 3), QStringLiteral("<FONT color=\"clblue\">This</FONT> is item <B>(4)</B>"));
    EXPECT_TRUE(list.Cells(6, 2).contains(QStringLiteral("://")));

    // Events bound to the window report through its messages.
    list.OnColumnRClick(list, 3);
    ASSERT_FALSE(messages.empty());
    EXPECT_EQ(messages.back().text, QStringLiteral("Right click on column header 3"));
    list.OnAnchorEnter(list, QStringLiteral("action"));
    EXPECT_EQ(f.StatusBar1->currentMessage(), QStringLiteral("action"));
    list.OnAnchorExit(list, QStringLiteral("action"));
    EXPECT_TRUE(f.StatusBar1->currentMessage().isEmpty());
}

TEST_F(DemoWindow, ErrorsInHandlersAreShownNotFatal)
{
    EXPECT_TRUE(DemoMessages::Guarded([] {}));
    EXPECT_FALSE(
        DemoMessages::Guarded([] { throw EOrvListViewError(QStringLiteral("Cannot create file x")); }));
    EXPECT_FALSE(DemoMessages::Guarded([] { throw std::runtime_error("disk full"); }));
    ASSERT_EQ(messages.size(), 2u);
    EXPECT_EQ(messages[0].text, QStringLiteral("Cannot create file x"));
    EXPECT_EQ(messages[1].text, QStringLiteral("disk full"));
}

TEST_F(DemoWindow, ScreenshotsOfEveryPage)
{
    CopyDemoData();
    TForm1& f = Open();
    const QString shots = QDir(DirPath()).filePath(QStringLiteral("shots"));
    ASSERT_TRUE(f.SaveScreenshots(shots));
    for (int page = 1; page <= 3; ++page) {
        QImage image(QDir(shots).filePath(QStringLiteral("sample%1.png").arg(page)));
        ASSERT_FALSE(image.isNull()) << page;
        EXPECT_EQ(image.width(), f.width() * int(image.devicePixelRatio()));
    }
    EXPECT_EQ(f.PageControl1->currentIndex(), 0);

    // The program itself, when it was built next to this test.
    const QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/../app/orvdemo");
    if (!QFile::exists(program))
        GTEST_SKIP() << "orvdemo not built";
    QProcess demo;
    demo.setWorkingDirectory(DirPath());
    const QString out = QDir(DirPath()).filePath(QStringLiteral("cli"));
    demo.start(program, { QStringLiteral("--screenshot"), out });
    ASSERT_TRUE(demo.waitForFinished(60000));
    EXPECT_EQ(demo.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(demo.exitCode(), 0) << demo.readAllStandardError().toStdString();
    for (int page = 1; page <= 3; ++page)
        EXPECT_TRUE(QFile::exists(QDir(out).filePath(QStringLiteral("sample%1.png").arg(page)))) << page;
}

} // namespace
