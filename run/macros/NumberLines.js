// Puts the line number and a tab in front of every line of the document; the empty line
// after a final line break is no line of text and stays empty.
var count = Editor.LineCount;
if (count > 1 && Editor.Line(count) == "") count--;
var width = String(count).length;
for (var i = 1; i <= count; i++) {
    var number = String(i);
    while (number.length < width) number = " " + number;
    Editor.Line(i, number + "\t" + Editor.Line(i));
}
Editor.StatusText(count + " lines numbered");
