# vantrel_ui: the panels (src/panels) and the main window (src/app), by name; a new file is
# added here, never picked up by a pattern.
add_library(vantrel_ui STATIC
    src/app/AboutBox.cpp src/app/AboutBox.h
    src/app/ExitOnTermination.cpp src/app/ExitOnTermination.h
    src/app/LogoLabel.cpp src/app/LogoLabel.h
    src/app/MainWindow.cpp src/app/MainWindow.h
    src/app/QtDialogs.cpp src/app/QtDialogs.h
    src/app/StartOptions.cpp src/app/StartOptions.h
    src/panels/Dialogs.h
    src/panels/PanelWidgets.cpp src/panels/PanelWidgets.h
    src/panels/animation/AnimationPanel.cpp src/panels/animation/AnimationPanel.h
    src/panels/connection/ConnectionPanel.cpp src/panels/connection/ConnectionPanel.h
    src/panels/display/ContrastPanel.cpp src/panels/display/ContrastPanel.h
    src/panels/display/DisplayPanel.cpp src/panels/display/DisplayPanel.h
    src/panels/display/ShapeWidget.cpp src/panels/display/ShapeWidget.h
    src/panels/drawing/ByteFieldParser.cpp src/panels/drawing/ByteFieldParser.h
    src/panels/drawing/CoordinateKeyFilter.cpp src/panels/drawing/CoordinateKeyFilter.h
    src/panels/drawing/DrawingCommand.cpp src/panels/drawing/DrawingCommand.h
    src/panels/drawing/DrawingPanel.cpp src/panels/drawing/DrawingPanel.h
    src/panels/drawing/TwipLayout.cpp src/panels/drawing/TwipLayout.h
    src/panels/memory/MemoryPanel.cpp src/panels/memory/MemoryPanel.h
    src/panels/mirror/BoardMirror.cpp src/panels/mirror/BoardMirror.h
    src/panels/mirror/SentScreen.cpp src/panels/mirror/SentScreen.h
    src/panels/monitor/TrafficMonitor.cpp src/panels/monitor/TrafficMonitor.h
    src/panels/monitor/TrafficTableModel.cpp src/panels/monitor/TrafficTableModel.h
    src/panels/picture/ConvertPictureDialog.cpp src/panels/picture/ConvertPictureDialog.h
    src/panels/picture/PicturePanel.cpp src/panels/picture/PicturePanel.h
    src/panels/picture/ScreenSaveAs.cpp src/panels/picture/ScreenSaveAs.h
    src/panels/picture/UploadProgressDialog.cpp src/panels/picture/UploadProgressDialog.h
    src/panels/text/ControlCode.cpp src/panels/text/ControlCode.h
    src/panels/text/PatternPanel.cpp src/panels/text/PatternPanel.h
    src/panels/text/PatternTextEdit.cpp src/panels/text/PatternTextEdit.h
    src/panels/text/StartPositionPanel.cpp src/panels/text/StartPositionPanel.h
    src/panels/text/TextPanel.cpp src/panels/text/TextPanel.h
    src/panels/touch/TouchPanel.cpp src/panels/touch/TouchPanel.h
)
vantrel_layer(vantrel_ui PUBLIC vantrel_engine vantrel_picture vantrel_display Qt6::Widgets PRIVATE vantrel_system)
vantrel_precompile(vantrel_ui <QWidget> <QPushButton> <QLabel> <QGroupBox> <QLineEdit> <QBoxLayout>
    <QGridLayout> <QComboBox> <QScrollBar> <QRadioButton> <QString> <QByteArray> <functional>)
