#include <QtTest>
class TestTallowView : public QObject {
    Q_OBJECT
};
QTEST_MAIN(TestTallowView)
#include "tst_tallow_view.moc"
