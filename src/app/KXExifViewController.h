#pragma once
// The metadata panel of one image: its property dictionary in tabs, "General" for the top-level
// values and one tab per metadata dictionary ("{Exif}" shows as "Exif"), each a two-column table
// of key and value.
#include "platform/foundation/Value.h"

#include <QPointer>
#include <map>
#include <memory>
#include <string>
#include <vector>

class QDialog;
class QTabWidget;
class QTableWidget;

class KXExifViewController {
  public:
    explicit KXExifViewController(foundation::Dictionary exifDictionary);
    ~KXExifViewController();
    KXExifViewController(const KXExifViewController&) = delete;
    KXExifViewController& operator=(const KXExifViewController&) = delete;

    const foundation::Dictionary& getExif() const { return _exifDictionary; }

    // Tab names in display order: "General" first, the rest in ascending order.
    const std::vector<std::string>& sortedKeys() const { return _sortedKeys; }
    // The keys of a tab's rows, in literal order; empty for a tab that does not exist.
    std::vector<std::string> rowKeys(const std::string& tab) const;
    // The value column's text for a row.
    std::string rowValue(const std::string& tab, const std::string& key) const;

    static bool checkForPermittedKeys(const std::string& name) { return name != "PictureStyle"; }
    // The platform's description of a value: arrays joined with ".", numbers in their shortest form.
    static std::string displayValue(const foundation::Value& value);

    // Builds the panel's tabs (again) and shows it; hides it.
    void showEXIFInfo();
    void hidePanel();
    QDialog* exifPanel() const { return _exifPanel; }
    QTabWidget* tabView() const { return _tabView; }
    // Rows shown by a tab's table: none unless it is the selected tab.
    int numberOfRowsInTableView(const QTableWidget* table) const;

    static constexpr int kRowHeight = 17;

  private:
    void parceDictionary();
    void createView();
    void reloadTab(int index);

    foundation::Dictionary _exifDictionary;
    foundation::Dictionary _generalInfo;
    std::map<std::string, foundation::Dictionary> _otherInfo;
    std::vector<std::string> _sortedKeys;
    QPointer<QDialog> _exifPanel;
    QTabWidget* _tabView = nullptr;
    std::vector<QTableWidget*> _tables;
};
