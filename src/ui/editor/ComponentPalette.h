#pragma once
// The palette of component types beside the drawing area: one owner-drawn entry
// per library type with its name and picture; press picks a type up for drag and
// drop, a double click places it.
#include <QWidget>

#include <functional>
#include <string>
#include <vector>

namespace v7300 {

class TLogic;

// The MIME type a dragged palette entry carries (the type name as UTF-8).
inline constexpr const char* kPaletteMime = "application/x-v7300-type";

class TComponentPalette : public QWidget {
    Q_OBJECT
public:
    TComponentPalette(const TLogic& logic, QWidget* parent = nullptr);

    void SetTypes(std::vector<std::string> names);
    const std::vector<std::string>& Types() const { return names_; }
    int EntryHeight(int index) const;
    // The entry under y (widget pixels), -1 when none.
    int EntryAt(int y) const;
    int EntryTop(int index) const;
    int Selected() const { return selected_; }

    std::function<void(const std::string&)> OnPick;        // button press on an entry
    std::function<void(const std::string&)> OnDoubleClick; // double click on an entry

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    const TLogic& logic_;
    std::vector<std::string> names_;
    int selected_ = -1;
    QPoint pressPos_;
};

} // namespace v7300
