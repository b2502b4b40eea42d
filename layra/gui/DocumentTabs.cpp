#include "DocumentTabs.h"

#include "DocumentView.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <utility>

namespace layra::gui {
namespace {

constexpr int kStripInset = 4;   // before the first tab, and above every tab
constexpr int kTextInset = 12;   // from a tab's left edge to its text
constexpr int kCloseSize = 14;   // the close box, square
constexpr int kCloseInset = 8;   // from the close box to the tab's right edge
constexpr int kCloseGap = 10;    // between the text and the close box
constexpr int kMinTabWidth = 72; // narrower tabs, many sharing a strip, have no close box
constexpr int kMaxTabWidth = 240;
const QColor kCloseHover(0xd6, 0x45, 0x3d);
const QColor kCloseCross(0x6a, 0x6a, 0x6a);

int StripHeight(const QWidget& widget) {
  return widget.fontMetrics().height() + 16;
}

int TextRoom(int tabWidth) {
  if (tabWidth < kMinTabWidth)
    return tabWidth - 2 * kTextInset;
  return tabWidth - kTextInset - kCloseGap - kCloseSize - kCloseInset;
}

int NaturalWidth(int textWidth) {
  return std::clamp(textWidth + kTextInset + kCloseGap + kCloseSize + kCloseInset, kMinTabWidth,
                    kMaxTabWidth);
}

} // namespace

DocumentTabs::DocumentTabs(QWidget* parent) : QWidget(parent) {
  setMouseTracking(true);
  setFocusPolicy(::Qt::NoFocus);
}

void DocumentTabs::Add(DocumentView* view, const QString& title) {
  if (view->parentWidget() != this)
    view->setParent(this);
  fTabs.push_back(Tab{view, {}, 0, {}});
  fTabs.back().text.setTextFormat(::Qt::PlainText);
  SetTitle(Count() - 1, title);
  SetFront(Count() - 1);
}

void DocumentTabs::Remove(DocumentView* view) {
  const auto found =
      std::find_if(fTabs.begin(), fTabs.end(), [view](const Tab& tab) { return tab.view == view; });
  if (found == fTabs.end())
    return;
  const int removed = static_cast<int>(found - fTabs.begin());
  const bool focused = view->hasFocus();
  view->hide();
  fTabs.erase(found);
  fHoveredClose = fPressedClose = -1;
  LayOut();
  update(0, 0, width(), StripHeight(*this));
  if (removed != fFront) {
    fFront -= removed < fFront ? 1 : 0;
    return;
  }
  fFront = -1;
  if (fTabs.empty()) {
    if (onFrontChanged)
      onFrontChanged(nullptr);
    return;
  }
  SetFront(std::min(removed, Count() - 1));
  if (focused)
    Front()->setFocus();
}

void DocumentTabs::BringToFront(DocumentView* view) {
  for (int tab = 0; tab < Count(); ++tab) {
    if (fTabs[tab].view == view)
      SetFront(tab);
  }
}

DocumentView* DocumentTabs::Front() const {
  return fFront >= 0 ? fTabs[fFront].view : nullptr;
}

void DocumentTabs::SetTitle(int tab, const QString& title) {
  fTabs[tab].title = title;
  Measure(fTabs[tab]);
  LayOut();
  update(0, 0, width(), StripHeight(*this));
}

void DocumentTabs::Measure(Tab& tab) const {
  tab.text.setText(tab.title);
  tab.text.prepare(QTransform(), font());
  tab.textWidth = static_cast<int>(std::ceil(tab.text.size().width()));
}

QRect DocumentTabs::TabRect(int tab) const {
  return QRect(fTabs[tab].left, kStripInset, fTabs[tab].width, StripHeight(*this) - kStripInset);
}

QRect DocumentTabs::CloseBox(int tab) const {
  const QRect box = TabRect(tab);
  if (box.width() < kMinTabWidth)
    return QRect();
  return QRect(box.right() + 1 - kCloseInset - kCloseSize, box.center().y() - kCloseSize / 2 + 1,
               kCloseSize, kCloseSize);
}

void DocumentTabs::SetFront(int tab) {
  if (tab == fFront)
    return;
  DocumentView* before = Front();
  const bool focused = before && before->hasFocus();
  if (before)
    before->hide();
  fFront = tab;
  PlaceFrontView();
  if (focused)
    Front()->setFocus();
  update(0, 0, width(), StripHeight(*this));
  if (onFrontChanged)
    onFrontChanged(Front());
}

int DocumentTabs::TabAt(const QPoint& point) const {
  for (int tab = 0; tab < Count(); ++tab) {
    if (TabRect(tab).contains(point))
      return tab;
  }
  return -1;
}

void DocumentTabs::LayOut() {
  if (fTabs.empty())
    return;
  int wanted = 0;
  for (const Tab& tab : fTabs)
    wanted += NaturalWidth(tab.textWidth);
  // Tabs that do not fit share the strip alike, their titles shortened in the middle.
  const int room = width() - 2 * kStripInset;
  const int shared = std::max(1, room / Count());
  int left = kStripInset;
  for (Tab& tab : fTabs) {
    tab.left = left;
    tab.width = wanted <= room ? NaturalWidth(tab.textWidth)
                               : std::min(NaturalWidth(tab.textWidth), shared);
    left += tab.width;
    const QString shown = tab.textWidth <= TextRoom(tab.width)
                              ? tab.title
                              : fontMetrics().elidedText(tab.title, ::Qt::ElideMiddle,
                                                         std::max(0, TextRoom(tab.width)));
    if (shown != tab.text.text())
      tab.text.setText(shown);
  }
}

void DocumentTabs::PlaceFrontView() {
  if (DocumentView* front = Front()) {
    const int strip = StripHeight(*this);
    front->setGeometry(0, strip, width(), std::max(0, height() - strip));
    front->show();
  }
}

void DocumentTabs::SetHovered(int closeBox) {
  if (closeBox == fHoveredClose)
    return;
  for (int tab : {fHoveredClose, closeBox}) {
    if (tab >= 0 && tab < Count())
      update(CloseBox(tab));
  }
  fHoveredClose = closeBox;
}

// Another font measures every title anew, and may change the strip's height.
void DocumentTabs::changeEvent(QEvent* event) {
  QWidget::changeEvent(event);
  if (event->type() != QEvent::FontChange)
    return;
  for (Tab& tab : fTabs)
    Measure(tab);
  LayOut();
  PlaceFrontView();
  update();
}

void DocumentTabs::paintEvent(QPaintEvent* event) {
  // With no document open the window shows its plain background.
  const QRect strip(0, 0, width(), StripHeight(*this));
  if (fTabs.empty() || !event->rect().intersects(strip))
    return;
  QPainter painter(this);
  painter.fillRect(strip, palette().window());
  painter.fillRect(QRect(0, strip.bottom(), width(), 1), palette().mid());
  for (int tab = 0; tab < Count(); ++tab) {
    if (event->rect().intersects(TabRect(tab)))
      PaintTab(painter, tab);
  }
}

void DocumentTabs::PaintTab(QPainter& painter, int tab) const {
  const bool front = tab == fFront;
  // The front tab is open to its view below; the others stand on the strip's bottom line.
  const QRect box = TabRect(tab).adjusted(0, 0, 0, front ? 0 : -1);
  painter.fillRect(box, front ? palette().base() : palette().window());
  const QBrush line = palette().mid();
  painter.fillRect(QRect(box.left(), box.top(), box.width(), 1), line);
  painter.fillRect(QRect(box.left(), box.top(), 1, box.height()), line);
  painter.fillRect(QRect(box.right(), box.top(), 1, box.height()), line);
  painter.setPen(palette().windowText().color());
  const QSizeF text = fTabs[tab].text.size();
  painter.drawStaticText(
      QPointF(box.left() + kTextInset, box.top() + (box.height() - text.height()) / 2),
      fTabs[tab].text);

  const QRect close = CloseBox(tab);
  if (close.isEmpty())
    return;
  const bool hovered = tab == fHoveredClose;
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  if (hovered) {
    painter.setPen(::Qt::NoPen);
    painter.setBrush(kCloseHover);
    painter.drawRoundedRect(QRectF(close), 3, 3);
  }
  painter.setPen(QPen(hovered ? QColor(::Qt::white) : kCloseCross, 1.5));
  const QRectF cross = QRectF(close).adjusted(4, 4, -4, -4);
  painter.drawLine(cross.topLeft(), cross.bottomRight());
  painter.drawLine(cross.topRight(), cross.bottomLeft());
  painter.restore();
}

void DocumentTabs::resizeEvent(QResizeEvent* event) {
  QWidget::resizeEvent(event);
  LayOut();
  PlaceFrontView();
}

void DocumentTabs::mousePressEvent(QMouseEvent* event) {
  const int tab = TabAt(event->position().toPoint());
  if (tab < 0)
    return QWidget::mousePressEvent(event);
  if (event->button() == ::Qt::MiddleButton) {
    if (onCloseAsked)
      onCloseAsked(fTabs[tab].view);
    return;
  }
  if (event->button() != ::Qt::LeftButton)
    return;
  if (CloseBox(tab).contains(event->position().toPoint())) {
    fPressedClose = tab;
    return;
  }
  SetFront(tab);
  Front()->setFocus();
}

void DocumentTabs::mouseReleaseEvent(QMouseEvent* event) {
  const int pressed = std::exchange(fPressedClose, -1);
  if (event->button() == ::Qt::LeftButton && pressed >= 0 && pressed < Count() &&
      CloseBox(pressed).contains(event->position().toPoint()) && onCloseAsked)
    onCloseAsked(fTabs[pressed].view);
}

void DocumentTabs::mouseMoveEvent(QMouseEvent* event) {
  const QPoint at = event->position().toPoint();
  const int tab = TabAt(at);
  SetHovered(tab >= 0 && CloseBox(tab).contains(at) ? tab : -1);
}

void DocumentTabs::leaveEvent(QEvent*) {
  SetHovered(-1);
}

// Ctrl+Tab and Ctrl+Page Down go to the next document, with Shift or Page Up the one before.
void DocumentTabs::keyPressEvent(QKeyEvent* event) {
  if (!(event->modifiers() & ::Qt::ControlModifier) || Count() < 2)
    return QWidget::keyPressEvent(event);
  int step = 0;
  switch (event->key()) {
  case ::Qt::Key_Tab:
  case ::Qt::Key_PageDown:
    step = 1;
    break;
  case ::Qt::Key_Backtab:
  case ::Qt::Key_PageUp:
    step = -1;
    break;
  default:
    return QWidget::keyPressEvent(event);
  }
  SetFront((fFront + step + Count()) % Count());
  Front()->setFocus();
}

} // namespace layra::gui
