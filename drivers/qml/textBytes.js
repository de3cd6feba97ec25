// The length of a text in UTF-8, as the configuration counts names.
.pragma library

function utf8Length(text) {
    var bytes = 0
    for (var i = 0; i < text.length; ++i) {
        var code = text.charCodeAt(i)
        if (code >= 0xd800 && code <= 0xdbff) {
            bytes += 4
            ++i
        } else {
            bytes += code < 0x80 ? 1 : code < 0x800 ? 2 : 3
        }
    }
    return bytes
}
