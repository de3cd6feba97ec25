#include "ui/customSpinBoxValidator.h"
#include "ui/themeFont.h"

#include <QApplication>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QQmlApplicationEngine>
#include <QQmlError>
#include <QQuickItem>
#include <QQuickWindow>
#include <QtQml>
#include <QtTest>

// Renders the theme gallery headless into theme-gallery.png in the build folder:
// every themed control, with a pressed button, a shown tool tip and each "focused…"
// control pictured while it holds the focus.
class TestThemeGallery : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void rendersEveryControlWithoutWarnings();

private:
    QImage grabWhenRendered();

    QQuickWindow *mWindow = nullptr;
};

void TestThemeGallery::initTestCase()
{
    qmlRegisterType<CustomSpinBoxValidator>("com.vtcan.types", 1, 0, "CustomSpinBoxValidator");
    QVERIFY(!ThemeFont::install().isEmpty());
    QFont font(ThemeFont::familyName());
    font.setPixelSize(12);
    QApplication::setFont(font);
}

QImage TestThemeGallery::grabWhenRendered()
{
    // Let bindings, animations of 80-250 ms and the next frame settle first.
    QTest::qWait(400);
    // The offscreen platform cannot read back a Qt Quick window's own grab; its
    // screen can.
    return mWindow->screen()->grabWindow(mWindow->winId()).toImage();
}

void TestThemeGallery::rendersEveryControlWithoutWarnings()
{
    QList<QQmlError> warnings;
    QQmlApplicationEngine engine;
    connect(&engine, &QQmlEngine::warnings, this, [&warnings](const QList<QQmlError> &list) {
        warnings += list;
    });
    engine.load(QUrl::fromLocalFile(QStringLiteral(KT_GALLERY_QML)));
    QCOMPARE(engine.rootObjects().size(), 1);
    mWindow = qobject_cast<QQuickWindow *>(engine.rootObjects().constFirst());
    QVERIFY(mWindow);
    QVERIFY(QTest::qWaitForWindowExposed(mWindow));

    auto *pressedButton = mWindow->findChild<QQuickItem *>(QStringLiteral("pressedButton"));
    auto *toolTipTarget = mWindow->findChild<QQuickItem *>(QStringLiteral("toolTipTarget"));
    QVERIFY(pressedButton);
    QVERIFY(toolTipTarget);
    auto *toolTipBox = toolTipTarget->findChild<QQuickItem *>(QStringLiteral("toolTipBox"));
    QVERIFY(toolTipBox);

    const QList<QQuickItem *> items = mWindow->findChildren<QQuickItem *>();
    QList<QQuickItem *> focusItems;
    for (QQuickItem *item : items) {
        if (item->objectName().startsWith(QLatin1String("focused")))
            focusItems << item;
    }
    QCOMPARE(focusItems.size(), 6);

    // Only one control can hold the focus at a time: picture each in turn.
    QList<QPair<QRect, QImage>> focusShots;
    for (QQuickItem *item : qAsConst(focusItems)) {
        item->forceActiveFocus();
        QTRY_VERIFY(item->hasActiveFocus());
        const QRectF rect = item->mapRectToScene(QRectF(-4, -4, item->width() + 8, item->height() + 8));
        focusShots << qMakePair(rect.toAlignedRect(), grabWhenRendered());
    }

    const QPoint buttonCentre = pressedButton->mapToScene(
        QPointF(pressedButton->width() / 2, pressedButton->height() / 2)).toPoint();
    QTest::mousePress(mWindow, Qt::LeftButton, Qt::NoModifier, buttonCentre);
    QTRY_VERIFY(pressedButton->property("pressed").toBool());
    const QRect buttonRect = pressedButton->mapRectToScene(
        QRectF(-4, -4, pressedButton->width() + 8, pressedButton->height() + 8)).toAlignedRect();
    const QImage pressedShot = grabWhenRendered();
    QTest::mouseRelease(mWindow, Qt::LeftButton, Qt::NoModifier, buttonCentre);

    const QPoint tipCentre = toolTipTarget->mapToScene(
        QPointF(toolTipTarget->width() / 2, toolTipTarget->height() / 2)).toPoint();
    QTest::mouseMove(mWindow, tipCentre);
    QTRY_VERIFY_WITH_TIMEOUT(toolTipBox->isVisible(), 3000);

    QImage picture = grabWhenRendered();
    QPainter painter(&picture);
    for (const auto &shot : qAsConst(focusShots))
        painter.drawImage(shot.first, shot.second, shot.first);
    painter.drawImage(buttonRect, pressedShot, buttonRect);
    painter.end();

    const QString path = QStringLiteral(KT_BINARY_DIR "/theme-gallery.png");
    QFile::remove(path);
    QVERIFY(picture.save(path));
    QCOMPARE(QImage(path).size(), mWindow->size() * mWindow->devicePixelRatio());

    for (const QQmlError &warning : qAsConst(warnings))
        qWarning() << warning.toString();
    QVERIFY(warnings.isEmpty());
    mWindow = nullptr;
}

QTEST_MAIN(TestThemeGallery)
#include "tst_themegallery.moc"
