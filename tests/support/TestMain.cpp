#include <gtest/gtest.h>

#include <QApplication>

// Every test binary runs with a QApplication on the offscreen platform, as the program runs.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Quorva"));
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
