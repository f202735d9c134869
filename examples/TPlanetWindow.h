// TPlanetWindow: a main window around one TOrvListView, the way an application embeds the list:
// rows written by the program, a CSV file, sorting by the column's kind of data, link clicks and
// printing to a PDF file.
#pragma once

#include "listview/TOrvListView.h"

#include <QMainWindow>
#include <QString>

class TPlanetWindow : public QMainWindow {
public:
    explicit TPlanetWindow(QWidget* parent = nullptr);

    TOrvListView& List() { return *m_list; }

    // The four inner planets, written cell by cell; notes are markup with an anchor.
    void FillInnerPlanets();
    // Replaces columns and rows with the file's (its first line names the columns).
    void LoadCsv(const QString& fileName);
    // Sorts by a column (0 = the first) in the given direction.
    void SortBy(int column, TSortDirection direction);
    // Prints the list to a PDF file with a title and page numbers; throws what printing throws
    // (EPrinterError, EOrvListViewError) and then leaves no file behind.
    void PrintToPdf(const QString& fileName);

    // Whether a clicked URL is handed to the desktop's browser (a self-test keeps it closed).
    void SetOpenLinks(bool open) { m_openLinks = open; }
    // What the last link click reported: "url <address>" or "anchor <value>"; empty before one.
    const QString& LastLink() const { return m_lastLink; }

private:
    void ConnectListEvents();
    void OpenCsvFile(); // File > Open CSV...
    void SavePdfFile(); // File > Print to PDF...
    void ShowStatus(const QString& text);

    TOrvListView* m_list = nullptr;
    bool m_openLinks = true;
    QString m_lastLink;
};
