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

    static QImage grabWhenRendered(QQuickWindow *window)
    {
        // Let bindings, animations of 80-250 ms and the next frame settle first.
        QTest::qWait(400);
        // The offscreen platform cannot read back a Qt Quick window's own grab; its screen can.
        return window->screen()->grabWindow(window->winId()).toImage();
    }

    static QRect sceneRectAround(QQuickItem *item)
    {
        return item->mapRectToScene(QRectF(-4, -4, item->width() + 8, item->height() + 8)).toAlignedRect();
    }

    static QPoint sceneCentre(QQuickItem *item)
    {
        return item->mapToScene(QPointF(item->width() / 2, item->height() / 2)).toPoint();
    }

private slots:
    void initTestCase()
    {
        qmlRegisterType<CustomSpinBoxValidator>("com.vtcan.types", 1, 0, "CustomSpinBoxValidator");
        QVERIFY(!ThemeFont::install().isEmpty());
        QFont font(ThemeFont::familyName());
        font.setPixelSize(12);
        QApplication::setFont(font);
    }

    void rendersEveryControlWithoutWarnings()
    {
        QList<QQmlError> warnings;
        QQmlApplicationEngine engine;
        connect(&engine, &QQmlEngine::warnings, this, [&warnings](const QList<QQmlError> &list) { warnings += list; });
        engine.load(QUrl::fromLocalFile(QStringLiteral(KT_GALLERY_QML)));
        QCOMPARE(engine.rootObjects().size(), 1);
        auto *window = qobject_cast<QQuickWindow *>(engine.rootObjects().constFirst());
        QVERIFY(window);
        QVERIFY(QTest::qWaitForWindowExposed(window));

        auto *pressedButton = window->findChild<QQuickItem *>(QStringLiteral("pressedButton"));
        auto *toolTipTarget = window->findChild<QQuickItem *>(QStringLiteral("toolTipTarget"));
        QVERIFY(pressedButton);
        QVERIFY(toolTipTarget);
        auto *toolTipBox = toolTipTarget->findChild<QQuickItem *>(QStringLiteral("toolTipBox"));
        QVERIFY(toolTipBox);

        QList<QQuickItem *> focusItems;
        for (QQuickItem *item : window->findChildren<QQuickItem *>()) {
            if (item->objectName().startsWith(QLatin1String("focused")))
                focusItems << item;
        }
        QCOMPARE(focusItems.size(), 6);

        // Only one control can hold the focus at a time: picture each in turn.
        QList<QPair<QRect, QImage>> shots;
        for (QQuickItem *item : qAsConst(focusItems)) {
            item->forceActiveFocus();
            QTRY_VERIFY(item->hasActiveFocus());
            shots << qMakePair(sceneRectAround(item), grabWhenRendered(window));
        }

        QTest::mousePress(window, Qt::LeftButton, Qt::NoModifier, sceneCentre(pressedButton));
        QTRY_VERIFY(pressedButton->property("pressed").toBool());
        shots << qMakePair(sceneRectAround(pressedButton), grabWhenRendered(window));
        QTest::mouseRelease(window, Qt::LeftButton, Qt::NoModifier, sceneCentre(pressedButton));

        QTest::mouseMove(window, sceneCentre(toolTipTarget));
        QTRY_VERIFY_WITH_TIMEOUT(toolTipBox->isVisible(), 3000);

        QImage picture = grabWhenRendered(window);
        QPainter painter(&picture);
        for (const auto &shot : qAsConst(shots))
            painter.drawImage(shot.first, shot.second, shot.first);
        painter.end();

        const QString path = QStringLiteral(KT_BINARY_DIR "/theme-gallery.png");
        QFile::remove(path);
        QVERIFY(picture.save(path));
        QCOMPARE(QImage(path).size(), window->size() * window->devicePixelRatio());

        for (const QQmlError &warning : qAsConst(warnings))
            qWarning() << warning.toString();
        QVERIFY(warnings.isEmpty());
    }
};

QTEST_MAIN(TestThemeGallery)
#include "tst_themegallery.moc"
