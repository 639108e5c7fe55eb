/*@cc_on @*/
@set @v = (1 + 2 * 3 >= 7 && !@_win64)
@if (@v) x = @v; @elif (@_jscript_version < 5) y = eval("@_x86"); @else z = 010; @end
//@ w = -@v;
/*@ q = "\101"; @*/
