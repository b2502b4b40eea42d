#pragma once
// One open document in the window: its pages drawn by the host's renderer, one at a time,
// zoomed to fit the view or at a chosen scale.

#include <layra/UIDRef.h>
#include <layra/host/PageImage.h>

#include <QImage>
#include <QWidget>

namespace layra::gui {

class DocumentView : public QWidget {
public:
  DocumentView(const UIDRef& document, QWidget* parent);

  const UIDRef& Document() const { return fDocument; }
  std::int32_t PageCount() const;
  std::int32_t CurrentPage() const { return fPage; }
  /** Shows page `index` (from 0); out of range is ignored. */
  void ShowPage(std::int32_t index);
  /** 0: zoom to fit; otherwise pixels per point. */
  void SetZoom(double scale);
  double Zoom() const { return fZoom; }
  /** Draws the page again, after the document changed. */
  void Reload();
  /** The page as last drawn; null before the first paint. */
  const QImage& PageImageShown() const { return fImage; }
  /** Renders the current page for the current size now (a paint does it when needed). */
  bool RenderNow();

protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

private:
  double Scale() const;
  QRect PageRect() const;

  UIDRef fDocument;
  std::int32_t fPage = 0;
  double fZoom = 0;
  bool fStale = true;
  PageImage fPixels;
  QImage fImage; // over fPixels, no copy
  QString fError;
};

} // namespace layra::gui
