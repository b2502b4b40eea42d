#pragma once
// One open document in the window: its pages drawn by the host's renderer, one at a time,
// zoomed to fit the view or at a chosen scale. A click selects what is under the pointer in
// the host's selection, as the automation steps do, and the selection is drawn over the page.

#include <layra/UIDRef.h>
#include <layra/host/PageImage.h>

#include <functional>

#include <QImage>
#include <QWidget>

#include <memory>

class IObserver;

namespace layra::gui {

class DocumentView : public QWidget {
public:
  DocumentView(const UIDRef& document, QWidget* parent);
  ~DocumentView() override;

  const UIDRef& Document() const { return fDocument; }
  std::int32_t PageCount() const;
  std::int32_t CurrentPage() const { return fPage; }
  /** Shows page `index` (from 0); out of range is ignored. */
  void ShowPage(std::int32_t index);
  /** Called when another page comes on screen, however it was turned. */
  std::function<void()> onPageShown;
  /** 0: zoom to fit; otherwise pixels per point. */
  void SetZoom(double scale);
  /** Draws the page again, after the document changed. */
  void Reload();
  /** The page as last drawn; null before the first paint. */
  const QImage& PageImageShown() const { return fImage; }
  /** Renders the current page for the current size now (a paint does it when needed). */
  bool RenderNow();
  /** Where point (x, y) of the page shown stands in the view. */
  QPoint ViewPoint(double x, double y) const;

protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

private:
  double Scale() const;
  QRect PageRect() const;
  UIDRef ShownPage() const;
  QPointF PagePoint(const QPoint& view) const;
  QRectF ViewRect(const PMRect& page) const;
  UID ItemAt(const QPointF& point) const;
  void ToggleItem(UID item);
  void PlaceTextFocus(UID frame, const QPointF& point);
  void DragTextFocus(const QPointF& point);
  void PaintSelection(QPainter& painter) const;
  void PaintItems(QPainter& painter) const;
  void PaintText(QPainter& painter) const;

  UIDRef fDocument;
  std::int32_t fPage = 0;
  double fZoom = 0;
  double fShownScale = 1; // of fImage
  bool fStale = true;
  // A text drag: the story and where the button went down in it.
  UID fDragStory = kInvalidUID;
  std::int32_t fDragAnchor = -1;
  std::unique_ptr<IObserver> fSelectionWatch;
  PageImage fPixels;
  QImage fImage; // over fPixels, no copy
  QString fError;
};

} // namespace layra::gui
