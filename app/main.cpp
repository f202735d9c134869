#include <QApplication>
#include <QLabel>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QLabel window(QStringLiteral("TOrvListView demo"));
    window.resize(554, 538);
    window.show();
    return app.exec();
}
