#pragma once
// The window's open documents, a tab each: a strip of tabs over the front document's view.
// The strip is drawn here rather than by a Qt tab bar, which lays every tab out again (shaping
// each tab's text anew) whenever a tab comes, goes or is shown, and so cost as much as
// opening the document itself. Here a tab's text is laid out once, when it changes, or when
// the tabs no longer fit and it has to be shortened.

#include <QStaticText>
#include <QWidget>

#include <functional>
#include <vector>

namespace layra::gui {

class DocumentView;

class DocumentTabs : public QWidget {
public:
  explicit DocumentTabs(QWidget* parent);

  /** Adds `view` (made a child) as the last tab and brings it to the front. */
  void Add(DocumentView* view, const QString& title);
  /** Takes `view`'s tab away and hides the view, which stays the caller's to delete. The tab
      after it comes to the front, or the one before when it was the last. */
  void Remove(DocumentView* view);
  void BringToFront(DocumentView* view);

  int Count() const { return static_cast<int>(fTabs.size()); }
  DocumentView* View(int tab) const { return fTabs[tab].view; }
  /** Null when no document is open. */
  DocumentView* Front() const;
  QString Title(int tab) const { return fTabs[tab].title; }
  void SetTitle(int tab, const QString& title);
  /** Where tab `tab` is drawn, and its close box inside it (none when the tab is narrow). */
  QRect TabRect(int tab) const;
  QRect CloseBox(int tab) const;

  /** Told the new front view (null when the last tab went). */
  std::function<void(DocumentView*)> onFrontChanged;
  /** A tab's close box was clicked, or the tab with the middle button. */
  std::function<void(DocumentView*)> onCloseAsked;

protected:
  void changeEvent(QEvent* event) override;
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

private:
  struct Tab {
    DocumentView* view;
    QString title;
    int textWidth;    // of the whole title
    QStaticText text; // as drawn: the title, shortened when the tab is narrower than it
    int left = 0;     // in the strip
    int width = 0;
  };

  /** Lays the whole title out for the tab's font and takes its width. */
  void Measure(Tab& tab) const;
  void SetFront(int tab);
  int TabAt(const QPoint& point) const;
  /** Gives each tab its place and, where it must be shortened, its text. */
  void LayOut();
  void PlaceFrontView();
  void SetHovered(int closeBox);
  void PaintTab(QPainter& painter, int tab) const;

  std::vector<Tab> fTabs;
  int fFront = -1;
  int fHoveredClose = -1;
  int fPressedClose = -1;
};

} // namespace layra::gui
