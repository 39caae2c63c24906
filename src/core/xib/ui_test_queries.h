// Which query of a UI test finds a view of each Interface Builder element: the one table of
// kinds for every writer that turns views into elements a UI test can tap.
#pragma once

#include <string_view>

namespace korvaster {

// The XCUIElementQuery property of an element type that finds a view written as `element`
// ("button" -> "buttons"; a text field that hides what is typed -> "secureTextFields"), or
// "otherElements" for views no query is made for (plain and stack views, content views).
inline std::string_view uiTestQueryOf(std::string_view element, bool secureTextEntry) {
  struct Kind {
    std::string_view element, query;
  };
  static constexpr Kind kKinds[] = {
      {"button", "buttons"},
      {"label", "staticTexts"},
      {"textField", "textFields"},
      {"textView", "textViews"},
      {"imageView", "images"},
      {"tableView", "tables"},
      {"tableViewCell", "cells"},
      {"collectionView", "collectionViews"},
      {"collectionViewCell", "cells"},
      {"scrollView", "scrollViews"},
      {"switch", "switches"},
      {"slider", "sliders"},
      {"stepper", "steppers"},
      {"segmentedControl", "segmentedControls"},
      {"pageControl", "pageIndicators"},
      {"activityIndicatorView", "activityIndicators"},
      {"progressView", "progressIndicators"},
      {"datePicker", "datePickers"},
      {"pickerView", "pickers"},
      {"navigationBar", "navigationBars"},
      {"tabBar", "tabBars"},
      {"toolbar", "toolbars"},
      {"mapView", "maps"},
      {"wkWebView", "webViews"},
      {"webView", "webViews"},
  };
  if (element == "textField" && secureTextEntry) return "secureTextFields";
  for (const Kind& kind : kKinds) {
    if (kind.element == element) return kind.query;
  }
  return "otherElements";
}

}  // namespace korvaster
