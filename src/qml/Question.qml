// A Yes/No question with a warning icon and no words of its own. Device pages set its title
// and text, open it and act on yes() for the question they asked; the window asks through
// ask(), whose answer runs on Yes only.
import QtQuick 2.3
import QtQuick.Dialogs 1.2

MessageDialog {
    property var answer: null

    function ask(question, questionText, onYes) {
        title = question
        text = questionText
        answer = onYes
        open()
    }

    icon: StandardIcon.Warning
    standardButtons: StandardButton.Yes | StandardButton.No
    modality: Qt.ApplicationModal
    onYes: {
        var pending = answer
        answer = null
        if (pending)
            pending()
    }
    onNo: answer = null
    onRejected: answer = null
}
