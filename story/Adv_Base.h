#pragma once
// The picture-story player shared by the opening and the three endings: full-screen pages that
// fade in from black at the start and turn on each click; after the last page it asks the scene
// to go back to the launcher. The four stories differ only in their Row.
#include "launcher/Item_Base.h"

#include <QImage>
#include <QString>
#include <QTimer>
#include <memory>

class Adv_Base : public Item_Base
{
    Q_OBJECT
public:
    QRectF opaqueRect() const override;
    // One story: where its pictures live, how many there are, what playLancher reports.
    struct Row {
        QString prefix;
        int pageCount;
        int lancherIndex;
    };

    // Used when the first page cannot be loaded, so the item still covers the view and takes
    // the clicks that lead back to the launcher.
    static constexpr int FallbackWidth = 1024;
    static constexpr int FallbackHeight = 576;

    // The four stories by story index: the opening, then the endings.
    static Row story(int index);

    Adv_Base(int x, int y, const Row &story);
    ~Adv_Base() override;

    void stopStory();
    void startStory();

    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;

    int getPageCount() const { return pageCount; }
    int getPage() const { return page; }
    double getFade() const { return fade; }
    bool isStarted() const { return pages != nullptr; }
    // The picture of page i while the story runs (a null picture otherwise).
    QImage pageImage(int i) const;

signals:
    void playLancher(int idx);

public slots:
    void slot_update();

protected:
    // Takes the press of any button, so its release comes here and turns the page.
    void mousePressEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent *event) override;
    // Space, Enter and the Right arrow turn the page as a click does.
    void keyReleaseEvent(QKeyEvent *event) override;

private:
    // Once the veil has lifted: the next page, or after the last one the way back to the menu.
    void turnPage();
    void releasePages();
    // After a page is drawn: the veil over it lifts a little more.
    void stepFade();
    void loadPage(int i);

    const Row row;
    std::unique_ptr<QImage[]> pages;
    int pageCount = 0;
    int page = 0;
    double fade = 1.0;
    bool pagesOnDemand = false;
    std::unique_ptr<QTimer> frameTimer;
};
