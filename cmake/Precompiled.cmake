# Precompiled headers for the targets whose sources all pull in the same large outside headers:
# Google Test in every test, Qt Widgets in the window, its dialogs and their tests. Parsing those
# once per target instead of once per source takes about a third off each compile (the suite
# builds the window and the tests twice, under two sanitizers). Only outside headers go in, so a
# change to the program's own headers never rebuilds a precompiled one.
set(TONMIRA_QT_PCH <QApplication> <QComboBox> <QLabel> <QLineEdit> <QMenu> <QPainter> <QPushButton>
    <QSettings> <QSlider> <QStatusBar> <QWidget> <string> <vector>)
set(TONMIRA_GTEST_PCH <gtest/gtest.h> <string> <vector>)

# tonmira_precompile(TARGET HEADER...): HEADERs precompiled for TARGET when TONMIRA_PCH is on.
function(tonmira_precompile target)
  if(TONMIRA_PCH)
    target_precompile_headers(${target} PRIVATE ${ARGN})
  endif()
endfunction()

# tonmira_precompile_like(TARGET OWNER): TARGET uses OWNER's precompiled headers instead of making
# its own (the targets must be compiled with the same flags and definitions).
function(tonmira_precompile_like target owner)
  if(TONMIRA_PCH)
    target_precompile_headers(${target} REUSE_FROM ${owner})
  endif()
endfunction()
