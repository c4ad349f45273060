#pragma once

// Base of every clickable custom control: a custom-painted widget that keeps
// the pointer's state in four flags (selected, highlighted, pointer inside,
// pressed) and runs its action on a release inside its bounds in the active
// window. Two actions of one button are at least half a second apart.
// Subclasses show their state in updateLayout, which runs on every repaint.

#include <QString>
#include <QWidget>
#include <functional>

class PVButton : public QWidget
{
    Q_OBJECT

  public:
    using Action = std::function<void(PVButton*)>;

    /// Time after an action during which releases run nothing.
    static constexpr double kActionInterval = 0.5; // s

    explicit PVButton(QWidget* parent = nullptr);
    ~PVButton() override;

    bool selected() const { return selected_; }
    bool highlighted() const { return highlighted_; }
    bool mouseIn() const { return mouseIn_; }
    bool mouseDown() const { return mouseDown_; }
    /// Setting selected, highlighted or mouseIn repaints the button.
    void setSelected(bool selected);
    void setHighlighted(bool highlighted);
    virtual void setMouseIn(bool mouseIn);
    void setMouseDown(bool mouseDown);

    /// While NO the button ignores the pointer entirely.
    bool userInteractiveEnabled() const { return userInteractiveEnabled_; }
    void setUserInteractiveEnabled(bool enabled) { userInteractiveEnabled_ = enabled; }

    /// Values the owner attaches (a model value the button stands for).
    quint64 tagInteger() const { return tagInteger_; }
    void setTagInteger(quint64 tag) { tagInteger_ = tag; }
    const QString& tagString() const { return tagString_; }
    void setTagString(const QString& tag) { tagString_ = tag; }

    /// Localisation key of the text the button shows.
    const QString& localizedKey() const { return localizedKey_; }
    virtual void setLocalizedKey(const QString& key);

    const Action& action() const { return action_; }
    void setAction(Action action) { action_ = std::move(action); }

    /// Applies the current state to the subviews; the base shows nothing.
    virtual void updateLayout() {}

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void hideEvent(QHideEvent* event) override;

  private:
    bool selected_ = false;
    bool highlighted_ = false;
    bool mouseIn_ = false;
    bool mouseDown_ = false;
    bool userInteractiveEnabled_ = true;
    bool actionTooSoon_ = false;
    quint64 tagInteger_ = 0;
    QString tagString_;
    QString localizedKey_;
    Action action_;
};
