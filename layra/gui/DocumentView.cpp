#include "DocumentView.h"

#include <layra/ActiveSelectionObserver.h>
#include <layra/IObjectModel.h>
#include <layra/IObserver.h>
#include <layra/IPage.h>
#include <layra/IPageList.h>
#include <layra/ISelectionManager.h>
#include <layra/ISelectionTargets.h>
#include <layra/ISubject.h>
#include <layra/WidgetDefs.h>
#include <layra/host/PageImage.h>

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace layra::gui {
namespace {

constexpr int kMargin = 24;
const QColor kPasteboard(0x8a, 0x8d, 0x91);
constexpr double kHandle = 6; // pixels across a selected item's handles
const QColor kSelectionColor(0x1e, 0x6f, 0xe6);
const QColor kTextHighlight(0xa8, 0xcb, 0xff); // multiplied: the text stays dark

UIDRef PageRef(const UIDRef& document, std::int32_t index) {
  InterfacePtr<IPageList> pages(static_cast<IPageList*>(document.Instantiate(IID_IPAGELIST)));
  if (!pages)
    return UIDRef();
  return UIDRef(document.GetDataBase(), pages->GetNthPageUID(index));
}

template <class Interface> InterfacePtr<Interface> At(const UIDRef& ref) {
  return InterfacePtr<Interface>(static_cast<Interface*>(ref.Instantiate(Interface::kDefaultIID)));
}

std::vector<UID> ItemsOf(const UIDRef& page) {
  InterfacePtr<IPage> shown = At<IPage>(page);
  return shown ? shown->GetItems() : std::vector<UID>{};
}

bool Contains(const std::vector<UID>& items, UID item) {
  return std::find(items.begin(), items.end(), item) != items.end();
}

double Distance(const PMRect& r, const QPointF& p) {
  const double dx = std::max({r.left - p.x(), 0.0, p.x() - r.right});
  const double dy = std::max({r.top - p.y(), 0.0, p.y() - r.bottom});
  return std::hypot(dx, dy);
}

/** `base` under black of opacity `alpha` (0-255), rounded as Qt blends it. */
QColor Shaded(const QColor& base, int alpha) {
  const auto shade = [alpha](int channel) { return (channel * (255 - alpha) + 127) / 255; };
  return QColor(shade(base.red()), shade(base.green()), shade(base.blue()));
}

// What the view draws, the automation steps may change: it repaints whenever the selection does.
class SelectionWatch final : public IObserver {
public:
  explicit SelectionWatch(QWidget* view) : fView(view) {
    InterfacePtr<ISubject> selection(QueryActiveSelectionSubject());
    if (selection)
      selection->AttachObserver(this, IID_IACTIVESELECTION);
  }
  ~SelectionWatch() override {
    InterfacePtr<ISubject> selection(QueryActiveSelectionSubject());
    if (selection)
      selection->DetachObserver(this, IID_IACTIVESELECTION);
  }
  IPMUnknown* QueryInterface(PMIID iid) const override {
    return iid == IID_IOBSERVER || iid == IID_IUNKNOWN ? const_cast<SelectionWatch*>(this)
                                                       : nullptr;
  }
  void AddRef() const override {}
  void Release() const override {}
  void AutoAttach() override {}
  void AutoDetach() override {}
  void Update(const ClassID&, ISubject*, const PMIID&, void*) override { fView->update(); }

private:
  QWidget* fView;
};

} // namespace

DocumentView::DocumentView(const UIDRef& document, QWidget* parent)
    : QWidget(parent), fDocument(document),
      fSelectionWatch(std::make_unique<SelectionWatch>(this)) {
  setFocusPolicy(::Qt::StrongFocus);
  // The view paints every pixel itself: the pasteboard only around the page, not under it.
  setAttribute(::Qt::WA_OpaquePaintEvent);
  setStatusTip(tr("Click an item to select it, Shift-click to add or remove one; click in text "
                  "to place the cursor, drag to select text."));
}

DocumentView::~DocumentView() = default;

std::int32_t DocumentView::PageCount() const {
  InterfacePtr<IPageList> pages(static_cast<IPageList*>(fDocument.Instantiate(IID_IPAGELIST)));
  return pages ? pages->GetPageCount() : 0;
}

void DocumentView::ShowPage(std::int32_t index) {
  if (index < 0 || index >= PageCount() || index == fPage)
    return;
  fPage = index;
  Reload();
  if (onPageShown)
    onPageShown();
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
  InterfacePtr<IPage> page = At<IPage>(ShownPage());
  if (!page || page->GetWidth() <= 0 || page->GetHeight() <= 0)
    return 1;
  const double across = (width() - 2 * kMargin) / page->GetWidth();
  const double down = (height() - 2 * kMargin) / page->GetHeight();
  return std::max(0.05, std::min(across, down));
}

bool DocumentView::RenderNow() {
  fStale = false;
  fImage = QImage();
  fShownScale = Scale();
  if (const Result<void> rendered = RenderPageImage(ShownPage(), fShownScale, fPixels); !rendered) {
    fError = QString::fromStdString(rendered.error());
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
    painter.fillRect(rect(), kPasteboard);
    painter.setPen(::Qt::white);
    painter.drawText(rect(), ::Qt::AlignCenter, fError);
    return;
  }
  const QRect page = PageRect();
  painter.fillRect(QRect(0, 0, width(), page.top()), kPasteboard);
  painter.fillRect(QRect(0, page.bottom() + 1, width(), height() - page.bottom() - 1), kPasteboard);
  painter.fillRect(QRect(0, page.top(), page.left(), page.height()), kPasteboard);
  painter.fillRect(QRect(page.right() + 1, page.top(), width() - page.right() - 1, page.height()),
                   kPasteboard);
  // The page's shadow: only its edges show, blending the whole page would cost a page. It is
  // filled already blended over the pasteboard: Qt blends a translucent fill line by line on
  // its worker threads, which costs more than the strip itself.
  const QColor shadow = Shaded(kPasteboard, 90);
  painter.fillRect(QRect(page.right() + 1, page.top() + 3, 3, page.height()), shadow);
  painter.fillRect(QRect(page.left() + 3, page.bottom() + 1, page.width() - 3, 3), shadow);
  painter.drawImage(page.topLeft(), fImage);
  // The outline as four opaque strips: the same pixels as a one-pixel pen, filled at once.
  const QColor outline(0x40, 0x40, 0x40);
  painter.fillRect(QRect(page.left(), page.top(), page.width(), 1), outline);
  painter.fillRect(QRect(page.left(), page.bottom(), page.width(), 1), outline);
  painter.fillRect(QRect(page.left(), page.top(), 1, page.height()), outline);
  painter.fillRect(QRect(page.right(), page.top(), 1, page.height()), outline);
  PaintSelection(painter);
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

UIDRef DocumentView::ShownPage() const {
  return PageRef(fDocument, fPage);
}

QPointF DocumentView::PagePoint(const QPoint& view) const {
  return QPointF(view - PageRect().topLeft()) / fShownScale;
}

QPoint DocumentView::ViewPoint(double x, double y) const {
  return PageRect().topLeft() + QPointF(x * fShownScale, y * fShownScale).toPoint();
}

QRectF DocumentView::ViewRect(const PMRect& page) const {
  return QRectF(QPointF(PageRect().topLeft()) + QPointF(page.left, page.top) * fShownScale,
                QSizeF(page.Width(), page.Height()) * fShownScale);
}

// The topmost item of the page shown under the point; kInvalidUID for none.
UID DocumentView::ItemAt(const QPointF& point) const {
  const std::vector<UID> items = ItemsOf(ShownPage());
  for (auto item = items.rbegin(); item != items.rend(); ++item) {
    InterfacePtr<IPageItem> shown = At<IPageItem>(UIDRef(fDocument.GetDataBase(), *item));
    if (shown && Distance(shown->GetBounds(), point) == 0)
      return *item;
  }
  return kInvalidUID;
}

void DocumentView::mousePressEvent(QMouseEvent* event) {
  ISelectionManager* selection = GetActiveSelection();
  if (event->button() != ::Qt::LeftButton || !selection) {
    QWidget::mousePressEvent(event);
    return;
  }
  if (fStale)
    RenderNow();
  const QPointF point = PagePoint(event->position().toPoint());
  const UID item = PageRect().contains(event->position().toPoint()) ? ItemAt(point) : kInvalidUID;
  const bool shift = event->modifiers().testFlag(::Qt::ShiftModifier);
  if (item == kInvalidUID) {
    if (!shift)
      selection->DeselectAll();
    return;
  }
  if (shift) {
    ToggleItem(item);
    return;
  }
  InterfacePtr<IPageItem> shown = At<IPageItem>(UIDRef(fDocument.GetDataBase(), item));
  if (shown->GetKind() == PageItemKind::kText) {
    PlaceTextFocus(item, point);
    return;
  }
  selection->SelectPageItems(UIDList(UIDRef(fDocument.GetDataBase(), item)));
}

void DocumentView::ToggleItem(UID item) {
  ISelectionManager* selection = GetActiveSelection();
  UIDList items(fDocument.GetDataBase());
  if (selection->GetKind() == SelectionKind::kLayout)
    items = selection->GetSelectedItems();
  bool removed = false;
  for (std::int32_t i = 0; i < items.Length() && !removed; ++i) {
    removed = items.At(i) == item;
    if (removed)
      items.Remove(i);
  }
  if (!removed)
    items.Append(item);
  if (items.IsEmpty())
    selection->DeselectAll();
  else
    selection->SelectPageItems(items);
}

void DocumentView::PlaceTextFocus(UID frame, const QPointF& point) {
  const UIDRef ref(fDocument.GetDataBase(), frame);
  InterfacePtr<IPageItem> shown = At<IPageItem>(ref);
  const std::int32_t at = TextPositionAt(ref, point.x(), point.y());
  const UID story = shown->GetTextRange().story;
  if (at < 0 || !GetActiveSelection()->SelectText(UIDRef(fDocument.GetDataBase(), story), at, at))
    return;
  fDragStory = story;
  fDragAnchor = at;
}

void DocumentView::mouseMoveEvent(QMouseEvent* event) {
  if (fDragAnchor < 0 || !(event->buttons() & ::Qt::LeftButton)) {
    QWidget::mouseMoveEvent(event);
    return;
  }
  DragTextFocus(PagePoint(event->position().toPoint()));
}

// The pointer picks a position in the frame of the story under it, or in the nearest one, so
// that a drag runs on from frame to frame.
void DocumentView::DragTextFocus(const QPointF& point) {
  IDataBase* db = fDocument.GetDataBase();
  InterfacePtr<IStory> story = At<IStory>(UIDRef(db, fDragStory));
  ISelectionManager* selection = GetActiveSelection();
  if (!story || !selection)
    return;
  const std::vector<UID> onPage = ItemsOf(ShownPage());
  UID nearest = kInvalidUID;
  double distance = 0;
  for (UID frame : story->GetFrames()) {
    InterfacePtr<IPageItem> shown = At<IPageItem>(UIDRef(db, frame));
    if (!shown || !Contains(onPage, frame))
      continue;
    const double away = Distance(shown->GetBounds(), point);
    if (nearest == kInvalidUID || away < distance) {
      nearest = frame;
      distance = away;
    }
  }
  const std::int32_t at =
      nearest == kInvalidUID ? -1 : TextPositionAt(UIDRef(db, nearest), point.x(), point.y());
  if (at < 0)
    return;
  selection->SelectText(UIDRef(db, fDragStory), std::min(at, fDragAnchor),
                        std::max(at, fDragAnchor));
}

void DocumentView::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == ::Qt::LeftButton)
    fDragAnchor = -1;
  QWidget::mouseReleaseEvent(event);
}

void DocumentView::PaintSelection(QPainter& painter) const {
  ISelectionManager* selection = GetActiveSelection();
  if (!selection)
    return;
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, false);
  if (selection->GetKind() == SelectionKind::kLayout)
    PaintItems(painter);
  else if (selection->GetKind() == SelectionKind::kText)
    PaintText(painter);
  painter.restore();
}

// An outline with handles at the corners and the middles of the sides.
void DocumentView::PaintItems(QPainter& painter) const {
  const UIDList selected = GetActiveSelection()->GetSelectedItems();
  if (selected.GetDataBase() != fDocument.GetDataBase())
    return;
  const std::vector<UID> onPage = ItemsOf(ShownPage());
  painter.setPen(QPen(kSelectionColor, 1));
  for (std::int32_t i = 0; i < selected.Length(); ++i) {
    InterfacePtr<IPageItem> item = At<IPageItem>(selected.GetRef(i));
    if (!item || !Contains(onPage, selected.At(i)))
      continue;
    const QRectF box = ViewRect(item->GetBounds());
    painter.setBrush(::Qt::NoBrush);
    painter.drawRect(box);
    painter.setBrush(::Qt::white);
    for (double x : {box.left(), box.center().x(), box.right()})
      for (double y : {box.top(), box.center().y(), box.bottom()})
        if (x != box.center().x() || y != box.center().y())
          painter.drawRect(QRectF(x - kHandle / 2, y - kHandle / 2, kHandle, kHandle));
  }
}

// A range is highlighted in every frame of the page that shows part of it; a caret stands in
// the frame whose text holds its position, or at the end of the frame where the text ends.
void DocumentView::PaintText(QPainter& painter) const {
  InterfacePtr<ITextTarget> target(
      static_cast<ITextTarget*>(CreateObject(kTextSuiteBoss, IID_ITEXTTARGET)));
  InterfacePtr<ITextFocus> focus(target ? target->QueryTextFocus() : nullptr);
  const UIDRef storyRef = target ? target->GetStory() : UIDRef();
  InterfacePtr<IStory> story = At<IStory>(storyRef);
  if (!focus || !story || storyRef.GetDataBase() != fDocument.GetDataBase())
    return;
  const std::int32_t start = focus->GetStart();
  const std::int32_t end = focus->GetEnd();
  const std::vector<UID> onPage = ItemsOf(ShownPage());
  if (end > start) {
    painter.setCompositionMode(QPainter::CompositionMode_Multiply);
    for (UID frame : story->GetFrames()) {
      if (!Contains(onPage, frame))
        continue;
      for (const PMRect& area : TextRangeAreas(UIDRef(storyRef.GetDataBase(), frame), start, end))
        painter.fillRect(ViewRect(area), kTextHighlight);
    }
    return;
  }
  std::optional<PMRect> caret;
  for (UID frame : story->GetFrames()) {
    InterfacePtr<IPageItem> shown = At<IPageItem>(UIDRef(storyRef.GetDataBase(), frame));
    const TextRange range = shown ? shown->GetTextRange() : TextRange{};
    if (!shown || start < range.start || start > range.start + range.length)
      continue;
    caret = Contains(onPage, frame) ? TextCaret(UIDRef(storyRef.GetDataBase(), frame), start)
                                    : std::nullopt;
    if (start < range.start + range.length)
      break;
  }
  if (!caret)
    return;
  const QRectF line = ViewRect(*caret);
  painter.fillRect(QRectF(line.left() - 0.5, line.top(), std::max(1.5, fShownScale), line.height()),
                   ::Qt::black);
}

} // namespace layra::gui
