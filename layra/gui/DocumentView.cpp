#include "DocumentView.h"

#include <layra/IPage.h>
#include <layra/IPageList.h>

#include <QKeyEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace layra::gui {
namespace {

constexpr int kMargin = 24;

UIDRef PageRef(const UIDRef& document, std::int32_t index) {
  InterfacePtr<IPageList> pages(static_cast<IPageList*>(document.Instantiate(IID_IPAGELIST)));
  if (!pages)
    return UIDRef();
  return UIDRef(document.GetDataBase(), pages->GetNthPageUID(index));
}

} // namespace

DocumentView::DocumentView(const UIDRef& document, QWidget* parent)
    : QWidget(parent), fDocument(document) {
  setFocusPolicy(::Qt::StrongFocus);
  setAutoFillBackground(true);
  QPalette pasteboard = palette();
  pasteboard.setColor(QPalette::Window, QColor(0x8a, 0x8d, 0x91));
  setPalette(pasteboard);
}

std::int32_t DocumentView::PageCount() const {
  InterfacePtr<IPageList> pages(static_cast<IPageList*>(fDocument.Instantiate(IID_IPAGELIST)));
  return pages ? pages->GetPageCount() : 0;
}

void DocumentView::ShowPage(std::int32_t index) {
  if (index < 0 || index >= PageCount() || index == fPage)
    return;
  fPage = index;
  Reload();
}

void DocumentView::SetZoom(double scale) {
  fZoom = scale;
  Reload();
}

void DocumentView::Reload() {
  fStale = true;
  update();
}

double DocumentView::Scale() const {
  if (fZoom > 0)
    return fZoom;
  InterfacePtr<IPage> page(static_cast<IPage*>(PageRef(fDocument, fPage).Instantiate(IID_IPAGE)));
  if (!page || page->GetWidth() <= 0 || page->GetHeight() <= 0)
    return 1;
  const double across = (width() - 2 * kMargin) / page->GetWidth();
  const double down = (height() - 2 * kMargin) / page->GetHeight();
  return std::max(0.05, std::min(across, down));
}

bool DocumentView::RenderNow() {
  fStale = false;
  std::string error;
  fImage = QImage();
  if (!RenderPageImage(PageRef(fDocument, fPage), Scale(), fPixels, &error)) {
    fError = QString::fromStdString(error);
    return false;
  }
  fError.clear();
  // The renderer's RGB24 words are Qt's RGB32 ones: the image reads the pixels in place.
  fImage = QImage(fPixels.pixels.data(), fPixels.width, fPixels.height, fPixels.stride,
                  QImage::Format_RGB32);
  return true;
}

QRect DocumentView::PageRect() const {
  const int left = std::max(kMargin, (width() - fImage.width()) / 2);
  const int top = std::max(kMargin, (height() - fImage.height()) / 2);
  return QRect(left, top, fImage.width(), fImage.height());
}

void DocumentView::paintEvent(QPaintEvent*) {
  if (fStale)
    RenderNow();
  QPainter painter(this);
  if (fImage.isNull()) {
    painter.setPen(::Qt::white);
    painter.drawText(rect(), ::Qt::AlignCenter, fError);
    return;
  }
  const QRect page = PageRect();
  // The page's shadow: only its edges show, blending the whole page would cost a page.
  const QColor shadow(0, 0, 0, 90);
  painter.fillRect(QRect(page.right() + 1, page.top() + 3, 3, page.height()), shadow);
  painter.fillRect(QRect(page.left() + 3, page.bottom() + 1, page.width() - 3, 3), shadow);
  painter.drawImage(page.topLeft(), fImage);
  painter.setPen(QColor(0x40, 0x40, 0x40));
  painter.drawRect(page.adjusted(0, 0, -1, -1));
}

void DocumentView::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  if (fZoom <= 0)
    Reload();
}

void DocumentView::keyPressEvent(QKeyEvent* event) {
  switch (event->key()) {
  case ::Qt::Key_PageDown:
    ShowPage(fPage + 1);
    return;
  case ::Qt::Key_PageUp:
    ShowPage(fPage - 1);
    return;
  case ::Qt::Key_Home:
    ShowPage(0);
    return;
  case ::Qt::Key_End:
    ShowPage(PageCount() - 1);
    return;
  default:
    QWidget::keyPressEvent(event);
  }
}

} // namespace layra::gui
