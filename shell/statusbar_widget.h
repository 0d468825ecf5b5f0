// The widget behind a status bar (shell-internal).
#pragma once

#include <QString>
#include <QWidget>
#include <vector>

namespace morvane {

/// Paints its text fields itself so that each field ends exactly at the running sum of
/// the widths.
class StatusBarWidget : public QWidget {
  public:
    struct Field {
        int width = 0;
        int flags = 0;
        QString text;
    };
    static constexpr int MaxFields = 256;

    explicit StatusBarWidget(QWidget* parent = nullptr);
    int bar_height() const;
    void add_field(int width);
    /// Widens (or narrows back to `min_width`) a fixed field so that its text fits.
    void fit_field(int field, int min_width);
    void set_text(int field, const QString& text, int flags);
    const std::vector<Field>& fields() const { return fields_; }
    /// The right edges of the fields for the current width.
    std::vector<int> field_ends() const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    bool has_size_grip() const;
    std::vector<Field> fields_;
};

}  // namespace morvane
