#include "ViewMirror.h"

#include <layra/IBooleanControlData.h>
#include <layra/IEventHandler.h>
#include <layra/IPanelControlData.h>
#include <layra/IStringListControlData.h>
#include <layra/ITextControlData.h>
#include <layra/ITreeViewMgr.h>
#include <layra/host/Views.h>

#include <QCheckBox>
#include <QComboBox>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmapCache>
#include <QPushButton>
#include <QScrollBar>
#include <QToolButton>

#include <algorithm>
#include <charconv>
#include <memory>

namespace layra::gui {
namespace {

constexpr int kScrollBarWidth = 14;
// Rows waiting to serve again: a screenful or two of the longest lists.
constexpr std::size_t kPoolLimit = 128;

/** A row's widgets, kinds and IDs in the host's order; empty for a row holding a tree. */
std::string Shape(IControlView* view) {
  const std::string kind = WidgetKindName(view);
  if (kind == "tree")
    return {};
  char id[16];
  const auto end = std::to_chars(id, id + sizeof id, view->GetWidgetID().Get(), 16).ptr;
  std::string shape = kind + ':' + std::string(id, end);
  InterfacePtr<IPanelControlData> children(view, UseDefaultIID());
  for (std::int32_t i = 0; children && i < children->Length(); ++i) {
    const std::string inner = Shape(children->GetWidget(i));
    if (inner.empty())
      return {};
    shape += "(" + inner + ")";
  }
  return shape;
}

void Preorder(IControlView* view, std::vector<IControlView*>& views) {
  views.push_back(view);
  InterfacePtr<IPanelControlData> children(view, UseDefaultIID());
  for (std::int32_t i = 0; children && i < children->Length(); ++i)
    Preorder(children->GetWidget(i), views);
}

QString Shown(PMString text) {
  text.Translate();
  return QString::fromStdString(text.GetUTF8String());
}

// A static text. One longer than its frame is shown on one line, cut with an ellipsis, and
// whole in the tool tip, so that a person can still read it.
class FittedLabel final : public QLabel {
public:
  using QLabel::QLabel;

  void SetWhole(const QString& text, const QString& tip) {
    if (text == fWhole && tip == fTip && fFittedTo.isValid())
      return;
    fWhole = text;
    fTip = tip;
    fFittedTo = QSize();
    Fit();
  }

protected:
  void resizeEvent(QResizeEvent* event) override {
    QLabel::resizeEvent(event);
    Fit();
  }
  void changeEvent(QEvent* event) override {
    QLabel::changeEvent(event);
    if (event->type() != QEvent::FontChange)
      return;
    fFittedTo = QSize();
    Fit();
  }

private:
  // Measured again only when the text or the room changed: a list laid out anew reads every
  // row's text again, mostly the same.
  void Fit() {
    const QRect room = contentsRect();
    if (room.size() == fFittedTo)
      return;
    fFittedTo = room.size();
    const QFontMetrics metrics = fontMetrics();
    const QRect needed = metrics.boundingRect(room, static_cast<int>(alignment()), fWhole);
    const bool fits = needed.width() <= room.width() && needed.height() <= room.height();
    QString line = fWhole;
    if (!fits)
      line = metrics.elidedText(line.replace(u'\n', u' '), ::Qt::ElideRight, room.width());
    if (text() != line)
      setText(line);
    const QString tip = fTip.isEmpty() && line != fWhole ? fWhole : fTip;
    if (toolTip() != tip)
      setToolTip(tip);
  }

  QString fWhole;
  QString fTip;
  QSize fFittedTo; // the room the text was last fitted to; invalid: fit again
};

QRect Rect(const PMRect& frame) {
  return QRect(static_cast<int>(frame.left), static_cast<int>(frame.top),
               static_cast<int>(frame.Width()), static_cast<int>(frame.Height()));
}

// Decoded once: a palette shown again, and every row with the same icon, finds it ready.
QPixmap Icon(IControlView* view) {
  const QString key =
      QString::asprintf("layra-icon-%x-%x", view->GetRsrcPluginID().Get(), view->GetRsrcID().Get());
  QPixmap pixmap;
  if (QPixmapCache::find(key, &pixmap))
    return pixmap;
  const std::string bytes = FindImage(view->GetRsrcPluginID(), view->GetRsrcID());
  if (!bytes.empty())
    pixmap.loadFromData(reinterpret_cast<const uchar*>(bytes.data()),
                        static_cast<uint>(bytes.size()), "PNG");
  QPixmapCache::insert(key, pixmap);
  return pixmap;
}

std::uint32_t Modifiers(Qt::KeyboardModifiers keys) {
  std::uint32_t modifiers = IEvent::kNone;
  if (keys & Qt::ShiftModifier)
    modifiers |= IEvent::kShift;
  if (keys & (Qt::ControlModifier | Qt::MetaModifier))
    modifiers |= IEvent::kCommand;
  return modifiers;
}

/** Hands an event to the widget's handler, then to its parents' until one handles it. */
void Dispatch(IControlView* widget, IEvent& event) {
  InterfacePtr<IControlView> view(widget, UseDefaultIID());
  while (view) {
    InterfacePtr<IEventHandler> handler(view, UseDefaultIID());
    bool handled = false;
    if (handler && event.GetType() == IEvent::Type::kMouseDown)
      handled = handler->LButtonDn(&event);
    else if (handler && event.GetType() == IEvent::Type::kDoubleClick)
      handled = handler->LDoubleClick(&event);
    if (handled)
      return;
    view.reset(view->QueryParentView());
  }
}

void Turn(IControlView* view, bool on) {
  InterfacePtr<IBooleanControlData> state(view, UseDefaultIID());
  if (state && on)
    state->Select(kTrue);
  else if (state)
    state->Deselect(kTrue);
}

/** How a widget reaches its mirror: the mirror may go first, its widgets are deleted later. */
using MirrorLink = std::shared_ptr<ViewMirror*>;

/** A panel: its children sit where their frames say and follow its size as bound. */
class Container : public QWidget {
public:
  Container(MirrorLink mirror, QWidget* parent) : QWidget(parent), fMirror(std::move(mirror)) {}

protected:
  void resizeEvent(QResizeEvent* event) override {
    QWidget::resizeEvent(event);
    if (IControlView* view = *fMirror ? (*fMirror)->ViewOf(this) : nullptr)
      (*fMirror)->Relayout(view, event->size());
  }

private:
  MirrorLink fMirror;
};

/** A tree or list view: its rows, made by the plug-in, in a viewport with a scroll bar. */
class TreeFrame : public QFrame {
public:
  TreeFrame(MirrorLink mirror, IControlView* view, QWidget* parent)
      : QFrame(parent), fMirror(std::move(mirror)), fView(view), fRows(new QWidget(this)),
        fBar(new QScrollBar(::Qt::Vertical, this)) {
    setFrameShape(QFrame::StyledPanel);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
    fRows->setAutoFillBackground(false);
    QObject::connect(fBar, &QScrollBar::valueChanged, [this](int row) {
      if (!fSyncing && *fMirror)
        (*fMirror)->Input(fView, [row](IControlView* tree) { ScrollTree(tree, row); });
    });
  }
  QWidget* Rows() const { return fRows; }

  /** Rows span the view's width, whatever the plug-in's row layout says. */
  void PlaceRow(QWidget* row, const QRect& frame) {
    row->setGeometry(frame.x(), frame.y(), fRows->width() - frame.x(), frame.height());
    fRowHeight = std::max(1, frame.height());
  }

  /** The scroll bar follows the host's rows. */
  void Sync() {
    if (!*fMirror || !(*fMirror)->ViewOf(this))
      return; // the host's tree is gone
    fSyncing = true;
    const std::int32_t count = TreeRowCount(fView);
    const int fit = std::max(1, fRows->height() / fRowHeight);
    fBar->setRange(0, std::max(0, count - fit));
    fBar->setPageStep(fit);
    fBar->setValue(TreeFirstRow(fView));
    fBar->setVisible(count > fit);
    fSyncing = false;
    FitRowsBesideTheBar();
  }

protected:
  void resizeEvent(QResizeEvent* event) override {
    QFrame::resizeEvent(event);
    const QRect inside = contentsRect();
    fRows->setGeometry(inside);
    fBar->setGeometry(inside.right() - kScrollBarWidth + 1, inside.top(), kScrollBarWidth,
                      inside.height());
    Sync();
  }
  void wheelEvent(QWheelEvent* event) override {
    const int steps = event->angleDelta().y() / 120;
    fBar->setValue(fBar->value() - 3 * steps);
    event->accept();
  }
  void mousePressEvent(QMouseEvent* event) override {
    if (!*fMirror)
      return;
    const std::uint32_t modifiers = Modifiers(event->modifiers());
    (*fMirror)->Input(fView, [modifiers](IControlView* tree) {
      IEvent click(IEvent::Type::kMouseDown, GSysPoint{0, 0}, modifiers);
      Dispatch(tree, click);
    });
  }

private:
  // A row, and the selection drawn on it, reaches the scroll bar, or the edge when none is
  // needed.
  void FitRowsBesideTheBar() {
    const int bar = fBar->isHidden() ? 0 : kScrollBarWidth;
    fRows->setGeometry(contentsRect().adjusted(0, 0, -bar, 0));
    for (QWidget* row : fRows->findChildren<QWidget*>(QString(), ::Qt::FindDirectChildrenOnly))
      row->resize(fRows->width() - row->x(), row->height());
  }

  MirrorLink fMirror;
  IControlView* fView;
  QWidget* fRows;
  QScrollBar* fBar;
  int fRowHeight = 20;
  bool fSyncing = false;
};

/** A tree row: the plug-in's row widget, drawn selected as its tree view says. */
class RowWidget : public QWidget {
public:
  RowWidget(MirrorLink mirror, QWidget* parent) : QWidget(parent), fMirror(std::move(mirror)) {}

protected:
  void paintEvent(QPaintEvent*) override {
    IControlView* view = *fMirror ? (*fMirror)->ViewOf(this) : nullptr;
    if (!view)
      return;
    QPainter painter(this);
    InterfacePtr<ITreeNodeIDData> node(view, UseDefaultIID());
    InterfacePtr<IControlView> tree(view->QueryParentView());
    InterfacePtr<ITreeViewController> controller(tree, UseDefaultIID());
    if (node && controller && controller->IsSelected(node->Get())) {
      painter.fillRect(rect(), palette().color(QPalette::Highlight).lighter(170));
    } else if ((y() / std::max(1, height())) % 2 == 1) {
      painter.fillRect(rect(), palette().color(QPalette::AlternateBase));
    }
    painter.setPen(palette().color(QPalette::Midlight));
    painter.drawLine(0, height() - 1, width(), height() - 1);
  }
  void mousePressEvent(QMouseEvent* event) override { Click(IEvent::Type::kMouseDown, event); }
  void mouseDoubleClickEvent(QMouseEvent* event) override {
    Click(IEvent::Type::kDoubleClick, event);
  }

private:
  void Click(IEvent::Type type, QMouseEvent* event) {
    event->accept();
    if (!*fMirror)
      return;
    const QPoint where = event->position().toPoint();
    const std::uint32_t modifiers = Modifiers(event->modifiers());
    (*fMirror)->Input((*fMirror)->ViewOf(this), [=](IControlView* row) {
      IEvent click(type, GSysPoint{where.x(), where.y()}, modifiers);
      Dispatch(row, click);
    });
  }

  MirrorLink fMirror;
};

} // namespace

ViewMirror::ViewMirror(IControlView* root, QWidget* parent, Runner run)
    : fView(root), fRun(std::move(run)) {
  fLink = std::make_shared<ViewMirror*>(this);
  fRoot = Make(root, parent);
  Sync(root, true);
  fRoot->resize(Rect(root->GetFrame()).size());
}

ViewMirror::~ViewMirror() {
  Release();
}

void ViewMirror::Release() {
  *fLink = nullptr;
  fNodes.clear();
  fViewOf.clear();
  fPool.clear();
  fPending.clear();
}

IControlView* ViewMirror::ViewOf(const QWidget* widget) const {
  auto found = fViewOf.find(widget);
  const Node* node = found == fViewOf.end() ? nullptr : Find(found->second);
  return node && !node->dead ? found->second : nullptr;
}

IControlView* ViewMirror::View() const {
  const Node* root = Find(fView);
  return root && !root->dead ? fView : nullptr;
}

void ViewMirror::Bind(IControlView* view, QWidget* widget) {
  Node node{widget, {}, view->GetFrame(), {}};
  if (WidgetKindName(view) == "row")
    node.shape = Shape(view);
  fNodes[view] = std::move(node);
  fViewOf[widget] = view;
}

void ViewMirror::Collect(const IControlView* view, std::vector<QWidget*>& widgets) const {
  const Node* node = Find(view);
  if (!node)
    return;
  widgets.push_back(node->widget);
  for (IControlView* child : node->children)
    Collect(child, widgets);
}

QWidget* ViewMirror::Reuse(IControlView* row, QWidget* parent) {
  const std::string shape = Shape(row);
  const auto fit = [&](const Pooled& pooled) {
    return pooled.shape == shape && pooled.row && pooled.row->parentWidget() == parent;
  };
  // Best the one that stands where the row goes: nothing moves, a list shown again with the
  // same rows repaints nothing.
  const int top = static_cast<int>(row->GetFrame().top);
  auto fits = std::find_if(fPool.begin(), fPool.end(), [&](const Pooled& pooled) {
    return fit(pooled) && pooled.row->y() == top;
  });
  if (fits == fPool.end())
    fits = std::find_if(fPool.begin(), fPool.end(), fit);
  if (shape.empty() || fits == fPool.end())
    return nullptr;
  std::vector<IControlView*> views;
  Preorder(row, views);
  // One widget for each of the row's, in the host's order, or none of them.
  if (views.size() != fits->widgets.size())
    return nullptr;
  Pooled pooled = std::move(*fits);
  fPool.erase(fits);
  for (std::size_t i = 0; i < views.size(); ++i)
    Bind(views[i], pooled.widgets[i]);
  for (IControlView* view : views) {
    InterfacePtr<IPanelControlData> children(view, UseDefaultIID());
    for (std::int32_t i = 0; children && i < children->Length(); ++i)
      fNodes[view].children.push_back(children->GetWidget(i));
  }
  return pooled.row;
}

const ViewMirror::Node* ViewMirror::Find(const IControlView* view) const {
  auto found = fNodes.find(view);
  return found == fNodes.end() ? nullptr : &found->second;
}

QWidget* ViewMirror::WidgetFor(const IControlView* view) {
  Flush();
  const Node* node = Find(view);
  return node && !node->dead ? node->widget : nullptr;
}

bool ViewMirror::Changed(IControlView* view) {
  auto found = fNodes.find(view);
  if (found == fNodes.end())
    return false;
  if (found->second.pending || found->second.dead)
    return true;
  found->second.pending = true;
  fPending.push_back(view);
  return true;
}

bool ViewMirror::Gone(IControlView* view) {
  // Its children may go first, a row's before the row: the widgets are put away when the
  // parent is read again, so that a row goes into the pool whole.
  auto found = fNodes.find(view);
  if (found == fNodes.end())
    return false;
  found->second.dead = true;
  found->second.pending = false;
  return true;
}

void ViewMirror::Flush() {
  // Changes reported while these are read wait for the next round.
  while (!fPending.empty()) {
    const std::vector<IControlView*> pending = std::move(fPending);
    fPending.clear();
    for (IControlView* view : pending) {
      auto found = fNodes.find(view); // gone meanwhile when not found
      if (found == fNodes.end() || !found->second.pending)
        continue;
      found->second.pending = false;
      Sync(view);
    }
  }
  HidePool();
}

void ViewMirror::HidePool() {
  for (Pooled& pooled : fPool) {
    if (pooled.row && pooled.row->isVisible())
      pooled.row->hide();
  }
}

void ViewMirror::Input(IControlView* view, const std::function<void(IControlView*)>& act) {
  Flush();
  const Node* node = Find(view);
  if (!node || node->dead)
    return;
  InterfacePtr<IControlView> keep(view, UseDefaultIID()); // an observer may take it away
  ++fInputDepth;
  if (fRun && fInputDepth == 1)
    fRun([&] { act(view); });
  else
    act(view);
  --fInputDepth;
  Changed(view); // the plug-in may have refused the change
  Flush();
}

QWidget* ViewMirror::Make(IControlView* view, QWidget* parent) {
  const std::string kind = WidgetKindName(view);
  QWidget* widget = nullptr;
  if (kind == "text") {
    auto* label = new FittedLabel(parent);
    label->setTextFormat(::Qt::PlainText);
    widget = label;
  } else if (kind == "editbox") {
    auto* edit = new QLineEdit(parent);
    QObject::connect(edit, &QLineEdit::textEdited, [this, edit](const QString& text) {
      Input(ViewOf(edit), [&text](IControlView* box) {
        InterfacePtr<ITextControlData> data(box, UseDefaultIID());
        if (data)
          data->SetString(PMString(text.toStdString(), PMString::kDontTranslateDuringCall), kFalse,
                          kTrue);
      });
    });
    widget = edit;
  } else if (kind == "checkbox") {
    auto* box = new QCheckBox(parent);
    QObject::connect(box, &QCheckBox::clicked, [this, box](bool on) {
      Input(ViewOf(box), [on](IControlView* target) { Turn(target, on); });
    });
    widget = box;
  } else if (kind == "button") {
    auto* button = new QPushButton(parent);
    button->setAutoDefault(false);
    if (view->GetWidgetID() == kOKButtonWidgetID)
      button->setDefault(true);
    QObject::connect(button, &QPushButton::clicked, [this, button] {
      Input(ViewOf(button), [](IControlView* b) { Turn(b, true); });
    });
    widget = button;
  } else if (kind == "iconbutton" || kind == "expander") {
    auto* button = new QToolButton(parent);
    button->setAutoRaise(true);
    button->setCheckable(kind == "expander");
    QObject::connect(button, &QToolButton::clicked, [this, button, kind](bool on) {
      Input(ViewOf(button), [&](IControlView* b) { Turn(b, kind == "iconbutton" || on); });
    });
    widget = button;
  } else if (kind == "combo") {
    auto* combo = new QComboBox(parent);
    QObject::connect(combo, &QComboBox::activated, [this, combo](int index) {
      Input(ViewOf(combo), [index](IControlView* target) {
        InterfacePtr<IDropDownListController> choice(target, UseDefaultIID());
        if (choice)
          choice->Select(index, kTrue, kTrue);
      });
    });
    widget = combo;
  } else if (kind == "separator") {
    auto* line = new QFrame(parent);
    const PMRect frame = view->GetFrame();
    line->setFrameShape(frame.Width() >= frame.Height() ? QFrame::HLine : QFrame::VLine);
    line->setFrameShadow(QFrame::Sunken);
    widget = line;
  } else if (kind == "tree") {
    widget = new TreeFrame(fLink, view, parent);
  } else if (kind == "row") {
    widget = new RowWidget(fLink, parent);
  } else {
    widget = new Container(fLink, parent);
  }
  widget->setObjectName(QStringLiteral("0x") + QString::number(view->GetWidgetID().Get(), 16));
  Bind(view, widget);
  return widget;
}

void ViewMirror::Forget(IControlView* view, bool pooled) {
  // The host may have let go of `view` already: only the map is read, never the view.
  auto found = fNodes.find(view);
  if (found == fNodes.end())
    return;
  const bool pool = !pooled && !found->second.shape.empty() && fPool.size() < kPoolLimit;
  if (pool) {
    Pooled row{found->second.widget, found->second.shape, {}};
    Collect(view, row.widgets);
    fPool.push_back(std::move(row));
  }
  Node node = std::move(fNodes[view]);
  fNodes.erase(view);
  fViewOf.erase(node.widget);
  for (IControlView* child : node.children)
    Forget(child, pooled || pool);
  if (pooled || pool)
    return; // a pooled row stays up until the changes are read: it may serve again at once
  node.widget->hide();
  node.widget->deleteLater(); // it may be the one sending the click that removed it
}

void ViewMirror::SyncChildren(IControlView* view, Node& node, bool deep) {
  InterfacePtr<IPanelControlData> panel(view, UseDefaultIID());
  std::vector<IControlView*> now;
  for (std::int32_t i = 0; panel && i < panel->Length(); ++i)
    now.push_back(panel->GetWidget(i));
  // The host reuses the memory of what it destroyed: a new row may stand where an old row's
  // check box was. The old rows go whole first, each with its own widgets into the pool;
  // taken one by one, a widget of an old row would go as the new one's and leave its row
  // short, and a row that serves again with one widget short shows each in another's place.
  const std::vector<IControlView*> before = node.children;
  for (IControlView* gone : before) {
    const Node* old = Find(gone);
    if ((old && old->dead) || std::find(now.begin(), now.end(), gone) == now.end())
      Forget(gone);
  }
  for (IControlView* child : now) {
    if (const Node* old = Find(child); old && old->dead)
      Forget(child); // a new widget where a destroyed one was
  }
  auto* tree = dynamic_cast<TreeFrame*>(node.widget);
  QWidget* parent = tree ? tree->Rows() : node.widget;
  std::vector<IControlView*> made;
  for (IControlView* child : now) {
    if (Find(child))
      continue;
    // Shown by its Sync once it stands where its frame puts it, never first where it was.
    if (WidgetKindName(child) != "row" || !Reuse(child, parent))
      Make(child, parent);
    made.push_back(child);
  }
  fNodes[view].children = now; // `node` may have moved while children were added
  // The others report their own changes: a tree laid out anew reads each new row once.
  for (IControlView* child : deep ? now : made)
    Sync(child, true);
  if (tree)
    tree->Sync();
}

void ViewMirror::Sync(IControlView* view, bool deep) {
  Node& node = fNodes[view];
  QWidget* widget = node.widget;
  const std::string kind = WidgetKindName(view);
  QWidget* rows = kind == "row" ? widget->parentWidget() : nullptr;
  auto* tree = rows ? dynamic_cast<TreeFrame*>(rows->parentWidget()) : nullptr;
  if (tree)
    tree->PlaceRow(widget, Rect(view->GetFrame()));
  else if (view != fView)
    widget->setGeometry(Rect(view->GetFrame()));
  if (view != fView) {
    widget->setVisible(view->IsVisible());
  }
  widget->setEnabled(view->IsEnabled());
  const QString tip = view->GetToolTipText().IsEmpty() ? QString() : Shown(view->GetToolTipText());
  auto* label = dynamic_cast<FittedLabel*>(widget);
  if (!label && widget->toolTip() != tip)
    widget->setToolTip(tip); // it sends an event even when the tip stays
  InterfacePtr<ITextControlData> text(view, UseDefaultIID());
  InterfacePtr<IBooleanControlData> state(view, UseDefaultIID());
  if (label) {
    label->SetWhole(text ? Shown(text->GetString()) : QString(), tip);
  } else if (auto* edit = dynamic_cast<QLineEdit*>(widget); edit && text) {
    edit->setEchoMode(text->IsPassword() ? QLineEdit::Password : QLineEdit::Normal);
    const QString value = QString::fromStdString(text->GetString().GetUTF8String());
    // A text the host sets is read from its start; what the user types keeps its cursor.
    if (edit->text() != value) {
      edit->setText(value);
      edit->setCursorPosition(0);
    }
  } else if (auto* box = dynamic_cast<QCheckBox*>(widget)) {
    box->setText(text ? Shown(text->GetString()) : QString());
    box->setChecked(state && state->IsSelected());
  } else if (auto* button = dynamic_cast<QPushButton*>(widget); button && text) {
    button->setText(Shown(text->GetString()));
  } else if (auto* tool = dynamic_cast<QToolButton*>(widget)) {
    if (kind == "expander") {
      tool->setChecked(state && state->IsSelected());
      tool->setArrowType(tool->isChecked() ? ::Qt::DownArrow : ::Qt::RightArrow);
    } else if (view->GetRsrcID().IsValid()) {
      const QPixmap icon = Icon(view);
      tool->setIcon(icon);
      tool->setIconSize(icon.size());
    }
  } else if (auto* combo = dynamic_cast<QComboBox*>(widget)) {
    InterfacePtr<IStringListControlData> list(view, UseDefaultIID());
    InterfacePtr<IDropDownListController> choice(view, UseDefaultIID());
    QStringList entries;
    for (std::int32_t i = 0; list && i < list->Length(); ++i)
      entries.push_back(Shown(list->GetString(i)));
    QStringList shown;
    for (int i = 0; i < combo->count(); ++i)
      shown.push_back(combo->itemText(i));
    if (shown != entries) {
      combo->clear();
      combo->addItems(entries);
    }
    combo->setCurrentIndex(choice ? choice->GetSelected() : -1);
  }
  InterfacePtr<IPanelControlData> panel(view, UseDefaultIID());
  if (panel)
    SyncChildren(view, node, deep);
  if (kind == "row" || kind == "tree")
    widget->update();
}

void ViewMirror::Relayout(IControlView* container, QSize size) {
  Flush();
  const Node* node = Find(container);
  if (!node || WidgetKindName(container) == "tree")
    return;
  // Copies: a tree view laid out again adds rows, and the map with them.
  const std::vector<IControlView*> children = node->children;
  const double dx = size.width() - node->designFrame.Width();
  const double dy = size.height() - node->designFrame.Height();
  if (container == fView) {
    const PMRect frame = container->GetFrame();
    container->SetFrame(
        PMRect{frame.left, frame.top, frame.left + size.width(), frame.top + size.height()},
        kFalse);
  }
  for (IControlView* child : children) {
    const Node* inner = Find(child);
    if (!inner || inner->dead)
      continue;
    QWidget* widget = inner->widget;
    PMRect frame = inner->designFrame;
    const std::uint32_t binding = child->GetFrameBinding();
    if (binding & kBindRight) {
      frame.right += dx;
      if (!(binding & kBindLeft))
        frame.left += dx;
    }
    if (binding & kBindBottom) {
      frame.bottom += dy;
      if (!(binding & kBindTop))
        frame.top += dy;
    }
    const bool resized = frame.Height() != child->GetFrame().Height();
    child->SetFrame(frame, kFalse);
    widget->setGeometry(Rect(frame));
    if (resized && WidgetKindName(child) == "tree")
      ScrollTree(child, TreeFirstRow(child)); // as many rows as now fit
  }
}

} // namespace layra::gui
