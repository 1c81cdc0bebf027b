#include "ui/params/UnitShownItems.h"

#include "ui/app/DarkLook.h"
#include "ui/canvas/QtImage.h"
#include "ui/params/FrmUserdefineSetter.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPainter>
#include <QPushButton>
#include <QStyledItemDelegate>
#include <QTabBar>
#include <QTabWidget>

namespace v7300::params {
namespace {

constexpr int kItemHeight = 40;
constexpr int kComponentRole = Qt::UserRole;
constexpr int kOutputRole = Qt::UserRole + 1;

// The output list: picture, component name in bold, "Output: n".
class TOutputDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QSize sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const override { return {200, kItemHeight}; }
    void paint(QPainter* p, const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const QRect r = option.rect;
        const bool selected = option.state & QStyle::State_Selected;
        p->fillRect(r, selected ? QColor(0x80, 0x80, 0x80) : QColor(Qt::black));
        const QPixmap picture = index.data(Qt::DecorationRole).value<QPixmap>();
        if (!picture.isNull()) p->drawPixmap(QRect(r.left() + 10, r.top() + 10, 20, 20), picture);
        p->setPen(QColor(0xA6, 0xCA, 0xF0));
        QFont f = option.font;
        f.setBold(true);
        p->setFont(f);
        const int ascent = QFontMetrics(f).ascent();
        p->drawText(r.left() + 40, r.top() + 2 + ascent, index.data(kComponentRole).toString());
        f.setBold(false);
        p->setFont(f);
        p->drawText(r.left() + 40, r.top() + 20 + ascent,
                    QStringLiteral("Output: ") + QString::number(index.data(kOutputRole).toInt() + 1));
    }
};

// A label at its place; narrowed when the platform's font needs more than the room before the next control.
QLabel* fixedLabel(const QString& text, QWidget* parent, QPoint at, int room = 0) {
    auto* label = new QLabel(text, parent);
    label->adjustSize();
    if (room > 0 && label->width() > room - 2) {
        QFont f = label->font();
        f.setStretch(QFont::Condensed);
        label->setFont(f);
        label->adjustSize();
    }
    label->move(at);
    return label;
}

QPushButton* pictureButton(const QString& picture, QWidget* parent, QRect geometry) {
    auto* b = new QPushButton(parent);
    b->setGeometry(geometry);
    b->setIcon(QIcon(TFrmUserdefineSetter::PictureFolder() + QStringLiteral("/ShownItems/") + picture +
                     QStringLiteral(".png")));
    b->setFocusPolicy(Qt::NoFocus);
    b->setAutoDefault(false);
    return b;
}

} // namespace

TFrmShownItems::TFrmShownItems(TLogic& logic, QWidget* parent)
    : QDialog(parent), editor_(logic.ShownTexts, logic.Components) {
    setWindowTitle(QStringLiteral("Anzeige Texte"));
    setFixedSize(570, 510);
    SetColours(*this, Qt::black, Qt::white);
    QFont f = font();
    f.setPointSize(8);
    setFont(f);
    fixedLabel(QStringLiteral("Angezeigte Outputs"), this, {8, 8});
    lbOutputs = new QListWidget(this);
    lbOutputs->setGeometry(8, 27, 257, 435);
    lbOutputs->setItemDelegate(new TOutputDelegate(lbOutputs));
    SetColours(*lbOutputs, Qt::black, Qt::white);
    for (const TShownListItem& item : editor_.Items()) {
        auto* row = new QListWidgetItem(QString::fromStdString(item.Display), lbOutputs);
        row->setData(kComponentRole, QString::fromStdString(item.Entry.component));
        row->setData(kOutputRole, item.Entry.output);
        if (const Image* picture = logic.Library.GetImage(item.TypeName, item.TypeName))
            row->setData(Qt::DecorationRole, QPixmap::fromImage(toQImage(*picture)));
    }
    connect(lbOutputs, &QListWidget::currentRowChanged, this, [this](int row) { editor_.SelectItem(row); });
    fixedLabel(QStringLiteral("Angezeigte Outputs"), this, {271, 8});
    Pages = new QTabWidget(this);
    Pages->setGeometry(271, 27, 289, 435);
    SetColours(*Pages, Qt::black, Qt::white);
    // All six tabs side by side in the page control's width.
    Pages->tabBar()->setUsesScrollButtons(false);
    Pages->tabBar()->setExpanding(true);
    // The pane black like the window (the style would draw it in its dark grey).
    Pages->setStyleSheet(QStringLiteral("QTabBar::tab { padding: 3px 2px; min-width: 40px; }"
                                        "QTabWidget::pane { background: black; border: 1px solid #444444; }"));
    for (int k = 1; k <= 6; ++k) Pages->addTab(new QWidget, QStringLiteral("Seite ") + QString::number(k));
    page_ = BuildPage();
    connect(Pages, &QTabWidget::currentChanged, this, &TFrmShownItems::ChooseTab);
    auto* separator = new QFrame(this);
    separator->setGeometry(8, 468, 649, 2);
    separator->setFrameShape(QFrame::HLine);
    btnOK = new QPushButton(QStringLiteral("OK"), this);
    btnOK->setGeometry(462, 476, 98, 25);
    btnOK->setAutoDefault(false);
    connect(btnOK, &QPushButton::clicked, this, &QDialog::accept);
    Refresh();
}

// The controls of one page; they stand over the tabs at the places the layout
// gives inside the page control, and show the page of the chosen tab.
QWidget* TFrmShownItems::BuildPage() {
    const int top = Pages->tabBar()->sizeHint().height();
    auto* page = new QWidget(Pages);
    page->setGeometry(0, top, Pages->width(), Pages->height() - top);
    auto at = [top](int x, int y, int w, int h) { return QRect(x, y - top, w, h); };
    fixedLabel(QStringLiteral("Seitenname:"), page, {8, 32 - top}, 74 - 8);
    editPageName = new QLineEdit(page);
    editPageName->setGeometry(at(74, 30, 176, 21));
    editPageName->setMaxLength(static_cast<int>(kShownTextLength));
    editPageName->installEventFilter(this);
    btnPageName = pictureButton(QStringLiteral("PageName"), page, at(256, 29, 23, 22));
    // The buttons take no focus: a click ends the editing of an open field first, as leaving it would.
    connect(btnPageName, &QPushButton::clicked, this, [this] {
        CommitEdits();
        editor_.BeginPageName();
        Refresh();
        editPageName->setFocus();
    });
    connect(editPageName, &QLineEdit::returnPressed, this, [this] { setFocus(); });
    for (int i = 0; i < 8; ++i) {
        auto* row = new QWidget(page);
        row->setGeometry(at(8, 57 + 47 * i, 271, 41));
        TSlotRow& s = Slots[static_cast<std::size_t>(i)];
        s.Icon = pictureButton(QStringLiteral("Empty"), row, QRect(11, 8, 23, 22));
        s.Text = new QLineEdit(row);
        s.Text->setGeometry(40, 8, 133, 15);
        s.Text->setFrame(false);
        s.Text->setMaxLength(static_cast<int>(kShownTextLength));
        s.Text->setProperty("v7300Slot", i);
        s.Text->installEventFilter(this);
        s.TextButton = pictureButton(QStringLiteral("Text"), row, QRect(179, 8, 23, 22));
        pictureButton(QString(), row, QRect(208, 8, 23, 22))->setEnabled(false);
        pictureButton(QString(), row, QRect(237, 8, 23, 22))->setEnabled(false);
        s.Info = new QLabel(row);
        s.Info->setGeometry(40, 24, 133, 15);
        connect(s.Icon, &QPushButton::clicked, this, [this, i] {
            CommitEdits();
            editor_.ClickSlot(i);
            Refresh();
        });
        connect(s.TextButton, &QPushButton::clicked, this, [this, i] {
            CommitEdits();
            editor_.BeginText(i);
            Refresh();
            Slots[static_cast<std::size_t>(i)].Text->setFocus();
        });
        connect(s.Text, &QLineEdit::returnPressed, this, [this] { setFocus(); });
    }
    page->raise();
    return page;
}

void TFrmShownItems::CommitEdits() {
    if (editPageName->isEnabled()) editor_.EndPageName(editPageName->text().toStdString());
    for (std::size_t i = 0; i < Slots.size(); ++i)
        if (Slots[i].Text->isEnabled()) editor_.EndText(static_cast<int>(i), Slots[i].Text->text().toStdString());
}

void TFrmShownItems::ChooseTab(int tab) {
    // What is being typed belongs to the page it was typed on.
    CommitEdits();
    editor_.ChooseTab(tab);
    Refresh();
}

void TFrmShownItems::Refresh() {
    const TShownItemsEditor::TView v = editor_.View();
    editPageName->setText(QString::fromStdString(v.PageName));
    editPageName->setEnabled(v.PageNameEnabled);
    const QString folder = TFrmUserdefineSetter::PictureFolder() + QStringLiteral("/ShownItems/");
    for (std::size_t i = 0; i < Slots.size(); ++i) {
        const auto& slot = v.Slots[i];
        Slots[i].Icon->setIcon(QIcon(folder + (slot.Filled ? QStringLiteral("Delete") : QStringLiteral("Empty")) +
                                     QStringLiteral(".png")));
        Slots[i].Icon->setToolTip(slot.Filled ? QStringLiteral("Entfernen") : QStringLiteral("Output einsetzen"));
        Slots[i].Text->setText(QString::fromStdString(slot.Text));
        Slots[i].Text->setEnabled(slot.TextEnabled);
        Slots[i].Info->setText(QString::fromStdString(slot.Info));
    }
}

// Leaving a text or page-name field ends its editing.
bool TFrmShownItems::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut) {
        if (watched == editPageName && editPageName->isEnabled()) {
            editor_.EndPageName(editPageName->text().toStdString());
            Refresh();
        } else if (auto* edit = qobject_cast<QLineEdit*>(watched); edit && edit->isEnabled()) {
            const QVariant slot = edit->property("v7300Slot");
            if (slot.isValid()) {
                editor_.EndText(slot.toInt(), edit->text().toStdString());
                Refresh();
            }
        }
    }
    return QDialog::eventFilter(watched, event);
}

bool EditShownItems(TLogic& logic, QWidget* parent, const std::function<void(TFrmShownItems&)>& show) {
    const auto before = logic.ShownTexts;
    {
        TFrmShownItems dialog(logic, parent);
        if (show)
            show(dialog);
        else
            dialog.exec();
        dialog.CommitEdits();
    }
    return !(logic.ShownTexts == before);
}

} // namespace v7300::params
