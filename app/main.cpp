#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    app.setApplicationDisplayName(QStringLiteral("Quillora"));
    return 0;
}
