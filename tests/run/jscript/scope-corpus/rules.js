// JScript's scope rules: block functions, named function expressions, f.arguments,
// for..in over a string, let as a name, anonymous function statements and labels.
function outer(a)
{
    if (false) {
        function inBlock()
        {
            return outer.arguments;
        }
    }
    var f = function named(x) { return x / 2; }, re = /[/]}/g, t = `${a}`;
    for (var k in "text")
        named(k);
    var let = 1;
    function() {}
    one: two: for (;;)
    {
        while (true)
            continue one;
    }
    while (true) {
        l: break;
    }
    return inBlock() + named(let );
}
