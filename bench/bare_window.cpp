// The yardstick for the program's start-up: the barest Qt Widgets program
// that shows a line of Chinese (one label, the toolkit's default font and
// its font fallback), measured by vesmar-startup beside the program.
#include <QApplication>
#include <QLabel>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QLabel label(QStringLiteral("函数分析作图器：中学数学函数与曲线的作图"));
    label.show();
    return app.exec();
}
