var n = [010, 08.5, 0x1F, 1e3, .5, 1.5E-3], s = '\x41\u0042\101\8\v\
continued';
var r = /a[/\]]b\/c/gi, d = a / b / c;
x = (function () { return /x/.test("x"); })();
function window::onload() { }
/*@cc_on
@set @v = 1
@if (@_jscript_version >= 5) x = @v; @elif (@_win32) x = 2; @else x = 3; @end
@*/
//@cc_on x = @_jscript_version;
