#pragma once

#include <QComboBox>

#include <optional>
#include <string_view>

class Connection;

// A drop-down of keyed rows from a lookup table: the box shows the first column, the list every
// column under its caption. An empty first entry stands for no choice (a null key).
class LookupCombo final : public QComboBox
{
    Q_OBJECT
public:
    // `captions`: one per column the statement selects after the key.
    LookupCombo(QWidget *parent, const QStringList &captions, bool withEmpty);

    // Rows of "key, column, ..." in the order the statement gives them. False with `error`.
    bool Fill(Connection &connection, std::string_view sql, QString &error);
    std::optional<int> Key() const; // nullopt for the empty entry or a typed text not in the list
    void SelectKey(const std::optional<int> &key); // the empty entry for nullopt or an unknown key

private:
    bool FWithEmpty;
};
