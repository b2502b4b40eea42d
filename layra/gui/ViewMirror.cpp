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
#include <QPushButton>
#include <QScrollBar>
#include <QToolButton>

#include <algorithm>
#include <memory>

namespace layra::gui {
namespace {

constexpr int kScrollBarWidth = 14;

QString Shown(PMString text) {
  text.Translate();
  return QString::fromStdString(text.GetUTF8String());
}

QRect Rect(const PMRect& frame) {
  return QRect(static_cast<int>(frame.left), static_cast<int>(frame.top),
               static_cast<int>(frame.Width()), static_cast<int>(frame.Height()));
}

QPixmap Icon(IControlView* view) {
  QPixmap pixmap;
  const std::string bytes = FindImage(view->GetRsrcPluginID(), view->GetRsrcID());
  if (!bytes.empty())
    pixmap.loadFromData(reinterpret_cast<const uchar*>(bytes.data()),
                        static_cast<uint>(bytes.size()), "PNG");
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
  Container(MirrorLink mirror, IControlView* view, QWidget* parent)
      : QWidget(parent), fMirror(std::move(mirror)), fView(view) {}

protected:
  void resizeEvent(QResizeEvent* event) override {
    QWidget::resizeEvent(event);
    if (*fMirror)
      (*fMirror)->Relayout(fView, event->size());
  }

private:
  MirrorLink fMirror;
  IControlView* fView;
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

  void Sync() {
    fSyncing = true;
    const std::int32_t count = TreeRowCount(fView);
    const QList<QWidget*> rows =
        fRows->findChildren<QWidget*>(QString(), ::Qt::FindDirectChildrenOnly);
    int rowHeight = 20;
    for (QWidget* row : rows)
      rowHeight = std::max(1, row->height());
    const int fit = std::max(1, fRows->height() / rowHeight);
    fBar->setRange(0, std::max(0, count - fit));
    fBar->setPageStep(fit);
    fBar->setValue(TreeFirstRow(fView));
    fBar->setVisible(count > fit);
    fSyncing = false;
    for (QWidget* row : rows)
      row->resize(fRows->width() - row->x(), row->height());
  }

protected:
  void resizeEvent(QResizeEvent* event) override {
    QFrame::resizeEvent(event);
    const QRect inside = contentsRect();
    fRows->setGeometry(inside.adjusted(0, 0, -kScrollBarWidth, 0));
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
  MirrorLink fMirror;
  IControlView* fView;
  QWidget* fRows;
  QScrollBar* fBar;
  bool fSyncing = false;
};

/** A tree row: the plug-in's row widget, drawn selected as its tree view says. */
class RowWidget : public QWidget {
public:
  RowWidget(MirrorLink mirror, IControlView* view, QWidget* parent)
      : QWidget(parent), fMirror(std::move(mirror)), fView(view) {}

protected:
  void paintEvent(QPaintEvent*) override {
    if (!*fMirror || !(*fMirror)->Find(fView))
      return;
    QPainter painter(this);
    InterfacePtr<ITreeNodeIDData> node(fView, UseDefaultIID());
    InterfacePtr<IControlView> tree(fView->QueryParentView());
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
    (*fMirror)->Input(fView, [=](IControlView* row) {
      IEvent click(type, GSysPoint{where.x(), where.y()}, modifiers);
      Dispatch(row, click);
    });
  }

  MirrorLink fMirror;
  IControlView* fView;
};

} // namespace

ViewMirror::ViewMirror(IControlView* root, QWidget* parent, Runner run)
    : fView(root), fRun(std::move(run)) {
  fLink = std::make_shared<ViewMirror*>(this);
  fRoot = Make(root, parent);
  Sync(root);
  fRoot->resize(Rect(root->GetFrame()).size());
}

ViewMirror::~ViewMirror() {
  Release();
}

void ViewMirror::Release() {
  *fLink = nullptr;
  fNodes.clear();
}

const ViewMirror::Node* ViewMirror::Find(const IControlView* view) const {
  auto found = fNodes.find(view);
  return found == fNodes.end() ? nullptr : &found->second;
}

QWidget* ViewMirror::WidgetFor(const IControlView* view) const {
  const Node* node = Find(view);
  return node ? node->widget : nullptr;
}

bool ViewMirror::Changed(IControlView* view) {
  if (!Find(view))
    return false;
  Sync(view);
  return true;
}

void ViewMirror::Refresh() {
  if (Find(fView))
    Sync(fView);
}

void ViewMirror::Input(IControlView* view, const std::function<void(IControlView*)>& act) {
  if (!Find(view))
    return;
  InterfacePtr<IControlView> keep(view, UseDefaultIID()); // an observer may take it away
  ++fInputDepth;
  if (fRun && fInputDepth == 1)
    fRun([&] { act(view); });
  else
    act(view);
  --fInputDepth;
  if (Find(view))
    Sync(view); // the plug-in may have refused the change
}

QWidget* ViewMirror::Make(IControlView* view, QWidget* parent) {
  const std::string kind = WidgetKindName(view);
  QWidget* widget = nullptr;
  if (kind == "text") {
    auto* label = new QLabel(parent);
    label->setTextFormat(::Qt::PlainText);
    widget = label;
  } else if (kind == "editbox") {
    auto* edit = new QLineEdit(parent);
    QObject::connect(edit, &QLineEdit::textEdited, [this, view](const QString& text) {
      Input(view, [&text](IControlView* box) {
        InterfacePtr<ITextControlData> data(box, UseDefaultIID());
        if (data)
          data->SetString(PMString(text.toStdString(), PMString::kDontTranslateDuringCall), kFalse,
                          kTrue);
      });
    });
    widget = edit;
  } else if (kind == "checkbox") {
    auto* box = new QCheckBox(parent);
    QObject::connect(box, &QCheckBox::clicked, [this, view](bool on) {
      Input(view, [on](IControlView* target) { Turn(target, on); });
    });
    widget = box;
  } else if (kind == "button") {
    auto* button = new QPushButton(parent);
    button->setAutoDefault(false);
    if (view->GetWidgetID() == kOKButtonWidgetID)
      button->setDefault(true);
    QObject::connect(button, &QPushButton::clicked,
                     [this, view] { Input(view, [](IControlView* b) { Turn(b, true); }); });
    widget = button;
  } else if (kind == "iconbutton" || kind == "expander") {
    auto* button = new QToolButton(parent);
    button->setAutoRaise(true);
    button->setCheckable(kind == "expander");
    QObject::connect(button, &QToolButton::clicked, [this, view, kind](bool on) {
      Input(view, [&](IControlView* b) { Turn(b, kind == "iconbutton" || on); });
    });
    widget = button;
  } else if (kind == "combo") {
    auto* combo = new QComboBox(parent);
    QObject::connect(combo, &QComboBox::activated, [this, view](int index) {
      Input(view, [index](IControlView* target) {
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
    widget = new RowWidget(fLink, view, parent);
  } else {
    widget = new Container(fLink, view, parent);
  }
  widget->setObjectName(QString::asprintf("0x%x", view->GetWidgetID().Get()));
  fNodes[view] = Node{widget, {}, view->GetFrame()};
  return widget;
}

void ViewMirror::Forget(IControlView* view) {
  // The host may have let go of `view` already: only the map is read, never the view.
  auto found = fNodes.find(view);
  if (found == fNodes.end())
    return;
  Node node = std::move(found->second);
  fNodes.erase(found);
  for (IControlView* child : node.children)
    Forget(child);
  if (node.widget) {
    node.widget->hide();
    node.widget->deleteLater(); // it may be the one sending the click that removed it
  }
}

void ViewMirror::SyncChildren(IControlView* view, Node& node) {
  InterfacePtr<IPanelControlData> panel(view, UseDefaultIID());
  std::vector<IControlView*> now;
  for (std::int32_t i = 0; panel && i < panel->Length(); ++i)
    now.push_back(panel->GetWidget(i));
  const std::vector<IControlView*> before = node.children;
  for (IControlView* gone : before) {
    if (std::find(now.begin(), now.end(), gone) == now.end())
      Forget(gone);
  }
  auto* tree = dynamic_cast<TreeFrame*>(node.widget);
  QWidget* parent = tree ? tree->Rows() : node.widget;
  for (IControlView* child : now) {
    if (Find(child))
      continue;
    Make(child, parent)->show();
  }
  fNodes[view].children = now; // `node` may have moved while children were added
  for (IControlView* child : now)
    Sync(child);
  if (tree)
    tree->Sync();
}

void ViewMirror::Sync(IControlView* view) {
  Node& node = fNodes[view];
  QWidget* widget = node.widget;
  const std::string kind = WidgetKindName(view);
  if (view != fView) {
    widget->setGeometry(Rect(view->GetFrame()));
    widget->setVisible(view->IsVisible());
  }
  widget->setEnabled(view->IsEnabled());
  widget->setToolTip(view->GetToolTipText().IsEmpty() ? QString() : Shown(view->GetToolTipText()));
  InterfacePtr<ITextControlData> text(view, UseDefaultIID());
  InterfacePtr<IBooleanControlData> state(view, UseDefaultIID());
  if (auto* label = dynamic_cast<QLabel*>(widget); label && text) {
    label->setText(Shown(text->GetString()));
  } else if (auto* edit = dynamic_cast<QLineEdit*>(widget); edit && text) {
    edit->setEchoMode(text->IsPassword() ? QLineEdit::Password : QLineEdit::Normal);
    const QString value = QString::fromStdString(text->GetString().GetUTF8String());
    if (edit->text() != value)
      edit->setText(value);
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
    SyncChildren(view, node);
  if (kind == "row" || kind == "tree")
    widget->update();
}

void ViewMirror::Relayout(IControlView* container, QSize size) {
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
    if (!inner)
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
