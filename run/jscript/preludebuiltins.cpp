// Script code run after the prelude (prelude.cpp): built-ins that behave as JScript's
// where a JScript script relies on it and ES5 code does not notice.

#include <QString>

namespace quillora::js {

const QString &builtinsScript()
{
    static const QString text = QStringLiteral(R"JS(
(function (global, host) {
    "use strict";
    var Object = global.Object, Array = global.Array, Reflect = global.Reflect,
        TypeError = global.TypeError, NativeError = global.Error;
    function jscriptError(Kind, code, text) {
        var e = new Kind(text);
        e.number = (0x800A0000 | code) | 0;
        return e;
    }
    // Replaces a method by one with the same name and length that is no enumerable
    // property. (A built-in reached through Reflect.apply with an empty list crashes the
    // engine underneath: the calls in this file pass at least one argument.)
    function replace(proto, name, make) {
        var native = proto[name], method = make(native);
        Object.defineProperty(method, "length", { value: native.length });
        Object.defineProperty(method, "name", { value: name });
        Object.defineProperty(proto, name, { value: method, writable: true, configurable: true });
    }

    // An array's text from anything but an array: "Array object expected" (5031).
    ["toString", "toLocaleString"].forEach(function (name) {
        replace(Array.prototype, name, function (native) {
            return function () {
                if (!Array.isArray(this))
                    throw jscriptError(TypeError, 5031, "Array object expected");
                return Reflect.apply(native, this, arguments);
            };
        });
    });

    // A function's text: from anything but a function "Function expected" (5002); for a
    // function made by Function(...) its parameters and body as JScript writes them; else
    // (the engine keeps no source text) the form JScript gives a built-in.
    // (the text is kept under a symbol: the engine's WeakMap crashes here)
    var sourceKey = global.Symbol("source"), FunctionPrototype = global.Function.prototype;
    replace(FunctionPrototype, "toString", function (native) {
        return function () {
            if (typeof this !== "function") throw jscriptError(TypeError, 5002, "Function expected");
            if (Object.prototype.hasOwnProperty.call(this, sourceKey)) return this[sourceKey];
            var text = Reflect.apply(native, this, [undefined]);
            var m = /^function ?([^(]*)\(\) \{ \[native code\] \}$/.exec(text);
            if (m === null) return text;
            var name = this === FunctionPrototype ? "prototype" : m[1];
            return "\nfunction " + name + "() {\n    [native code]\n}\n";
        };
    });
    // Function(parameters..., body): the body goes through the rewrite a script's text
    // does (legacy literals, conditional compilation), and the function remembers its text.
    var NativeFunction = global.Function, slice = Array.prototype.slice;
    var JScriptFunction = function Function(body) {
        var list = Reflect.apply(slice, arguments, [0]).map(String);
        var text = list.length ? list.pop() : "";
        var f = Reflect.construct(NativeFunction, list.concat([host.engineText(text)]),
                                  new.target || JScriptFunction);
        Object.defineProperty(f, sourceKey, {
            value: "function anonymous(" + list.join(", ") + ") {\n" + text + "\n}"
        });
        return f;
    };
    JScriptFunction.prototype = FunctionPrototype;
    Object.defineProperty(FunctionPrototype, "constructor",
                          { value: JScriptFunction, writable: true, configurable: true });
    Object.setPrototypeOf(JScriptFunction, FunctionPrototype);
    global.Function = JScriptFunction;

    // An error's text: "[object Error]" for a value that is no object or has neither name
    // nor message; a missing name counts as empty. Every kind of error shares it.
    replace(NativeError.prototype, "toString", function () {
        return function () {
            if (this === null || (typeof this !== "object" && typeof this !== "function") ||
                (this.name === undefined && this.message === undefined))
                return "[object Error]";
            var name = this.name === undefined ? "" : String(this.name),
                message = this.message === undefined ? "" : String(this.message);
            return !name ? message : !message ? name : name + ": " + message;
        };
    });
    ["EvalError", "RangeError", "ReferenceError", "SyntaxError", "TypeError", "URIError"]
        .forEach(function (kind) {
            var proto = global[kind] && global[kind].prototype;
            if (proto && Object.prototype.hasOwnProperty.call(proto, "toString"))
                delete proto.toString;
        });

    // Error(number, description): JScript's error with a number; Error(text) as before.
    // Made with the engine's own Error, so the error keeps the line that made it.
    var JScriptError = function Error(number, description) {
        var target = new.target || JScriptError;
        if (arguments.length < 2 && typeof number !== "number")
            return Reflect.construct(NativeError, arguments, target);
        var e = Reflect.construct(NativeError, description === undefined ? [] : [description],
                                  target);
        e.number = +number;
        return e;
    };
    Object.defineProperty(JScriptError, "length", { value: 1 });
    JScriptError.prototype = NativeError.prototype;
    Object.defineProperty(NativeError.prototype, "constructor",
                          { value: JScriptError, writable: true, configurable: true });
    Object.setPrototypeOf(JScriptError, Object.getPrototypeOf(NativeError));
    global.Error = JScriptError;

    // The text a direct eval call runs (the rewrite turns eval(x) into eval(__evalText(x))):
    // a text JScript's grammar refuses raises JScript's compile error with its number,
    // unless the engine takes it once rewritten (a later language's syntax, conditional
    // compilation turned on by the script: compiled, never run, to ask).
    // A text the engine takes otherwise goes through the same rewrite as a script's.
    var NativeSyntaxError = global.SyntaxError;
    function evalText(text) {
        if (typeof text !== "string") return text;
        var fault = host.syntaxFault(text), rewritten = host.engineText(text);
        if (fault !== null) {
            var engineTakes = false;
            if (fault[0] !== 1018) { // a return outside a function: JScript's and ES5's error
                try {
                    new NativeFunction(rewritten);
                    engineTakes = true;
                } catch (e) {
                }
            }
            if (!engineTakes) throw jscriptError(NativeSyntaxError, fault[0], fault[1]);
        }
        return rewritten;
    }
    Object.defineProperty(global, "__evalText", { value: evalText });

    // JSON.parse: the engine underneath ignores the reviver, which is walked here as ES5
    // has it; and a text it refuses is read once more with JScript's leniency, a sign
    // apart from its number ("- 1") and a fraction without its leading zero (".5"), and
    // with an exponent past its range ("1e2147483648" is Infinity).
    var nativeParse = global.JSON.parse, keys = Object.keys;
    // The text with JScript's leniency made strict; numbers past the engine's range stand
    // as marked strings, their values in `numbers`.
    function lenientJson(text, numbers) {
        var out = "", quoted = false;
        for (var i = 0; i < text.length; i++) {
            var c = text.charAt(i);
            if (quoted) {
                if (c === "\\") {
                    out += c + text.charAt(++i);
                    continue;
                }
                quoted = c !== "\"";
            } else if (c === "\"") {
                quoted = true;
            } else if (c === "-") {
                while (/\s/.test(text.charAt(i + 1))) i++;
            } else if (/[\d.]/.test(c) && !/[\w.]/.test(text.charAt(i - 1))) {
                var number = /^\d*\.?\d*(?:[eE][+-]?(\d+))?/.exec(text.slice(i));
                if (number[1] !== undefined && number[1].length > 3) {
                    var negative = out.charAt(out.length - 1) === "-";
                    if (negative) out = out.slice(0, -1);
                    numbers.push((negative ? -1 : 1) * Number(number[0]));
                    c = "\"\\u0000" + (numbers.length - 1) + "\"";
                    i += number[0].length - 1;
                } else if (c === ".") {
                    c = "0.";
                }
            }
            out += c;
        }
        return out;
    }
    function revive(holder, key, reviver) {
        var value = holder[key];
        if (value !== null && typeof value === "object") {
            var names = Array.isArray(value) ? null : keys(value);
            var n = names ? names.length : value.length;
            for (var i = 0; i < n; i++) {
                var name = names ? names[i] : String(i);
                var v = revive(value, name, reviver);
                if (v === undefined) delete value[name];
                else value[name] = v;
            }
        }
        return Reflect.apply(reviver, holder, [key, value]);
    }
    Object.defineProperty(global.JSON, "parse", {
        value: function parse(text, reviver) {
            var value;
            try {
                value = Reflect.apply(nativeParse, global.JSON, [text]);
            } catch (e) {
                var numbers = [], lenient = lenientJson(String(text), numbers);
                if (lenient === String(text)) throw e;
                try {
                    value = Reflect.apply(nativeParse, global.JSON, [lenient]);
                } catch (e2) {
                    throw e;
                }
                if (numbers.length)
                    value = revive({ "": value }, "", function (k, v) {
                        return typeof v === "string" && v.charAt(0) === "\u0000" ? numbers[+v.slice(1)] : v;
                    });
            }
            return typeof reviver === "function" ? revive({ "": value }, "", reviver) : value;
        },
        writable: true, configurable: true
    });

    // Dates in JScript's free forms ("Jan 20 2009 UTC+1", "12Au91", "7/02/17", "71 11:32AM
    // Dec 12 BC"): read here when the engine's own reading gives no date, by Date.parse
    // and by new Date(text). Words name a month by their first letters (the later month
    // where two share them), AM, PM, BC, AD, UTC or GMT (with an offset in hours or hhmm),
    // or a weekday; "h:m:s" is a time, "a/b/c" a month, day and year (a year first when it
    // is above 31); a number beside a month name is its day (up to 31) or year; years below
    // 100 are 19xx. NaN for anything else.
    var NativeDate = global.Date, nativeDateParse = NativeDate.parse;
    var monthNames = ["january", "february", "march", "april", "may", "june", "july",
                      "august", "september", "october", "november", "december"];
    var dayNames = ["sunday", "monday", "tuesday", "wednesday", "thursday", "friday",
                    "saturday"];
    function startsWord(word, names) {
        var found = -1;
        for (var k = 0; k < names.length; k++)
            if (word.length >= 2 && names[k].slice(0, word.length) === word) found = k;
        return found;
    }
    function jscriptDate(text) {
        var s = String(text), i = 0, n = s.length, m;
        var year, month, day, hour, minute = 0, second = 0, numbers = [];
        var pm = false, am = false, bc = false, utc = false, offset = 0;
        function digitsAt() {
            var d = /^\d+/.exec(s.slice(i));
            if (d === null) return undefined;
            i += d[0].length;
            return d[0];
        }
        function zoneOffset() { // [+-]h, [+-]hh or [+-]hhmm after UTC or a time
            var z = /^([+-])(\d+)/.exec(s.slice(i));
            if (z === null) return;
            i += z[0].length;
            var v = +z[2], minutes = z[2].length <= 2 ? v * 60 : Math.floor(v / 100) * 60 + v % 100;
            offset = z[1] === "-" ? -minutes : minutes;
            utc = true;
        }
        while (i < n) {
            var c = s.charAt(i);
            if (/\d/.test(c)) {
                var v = +digitsAt();
                if (s.charAt(i) === ":") {
                    if (hour !== undefined) return NaN;
                    hour = v;
                    var parts = [];
                    while (s.charAt(i) === ":") {
                        while (s.charAt(i) === ":") i++;
                        var p = digitsAt();
                        if (p !== undefined) parts.push(+p);
                    }
                    minute = parts.length > 0 ? parts[0] : 0;
                    second = parts.length > 1 ? parts[1] : 0;
                } else if (s.charAt(i) === "/") {
                    if (year !== undefined || month !== undefined) return NaN;
                    var list = [v];
                    while (s.charAt(i) === "/") {
                        i++;
                        var q = digitsAt();
                        if (q === undefined) return NaN;
                        list.push(+q);
                    }
                    if (list.length !== 3) return NaN;
                    if (list[0] > 31) {
                        year = list[0]; month = list[1] - 1; day = list[2];
                    } else {
                        month = list[0] - 1; day = list[1]; year = list[2];
                    }
                } else {
                    numbers.push(v);
                }
            } else if (/[A-Za-z]/.test(c)) {
                m = /^[A-Za-z.]+/.exec(s.slice(i));
                i += m[0].length;
                var w = m[0].toLowerCase().replace(/\./g, "");
                if (w === "am" || w === "a") am = true;
                else if (w === "pm" || w === "p") pm = true;
                else if (w === "bc") bc = true;
                else if (w === "ad") bc = false;
                else if (w === "utc" || w === "gmt" || w === "z") {
                    utc = true;
                    zoneOffset();
                } else if (startsWord(w, monthNames) >= 0) {
                    if (month !== undefined) return NaN;
                    month = startsWord(w, monthNames);
                } else if (startsWord(w, dayNames) < 0) {
                    return NaN;
                }
            } else if ((c === "+" || c === "-") && hour !== undefined && /\d/.test(s.charAt(i + 1))) {
                zoneOffset();
            } else if (/[\s,()]/.test(c)) {
                i++;
            } else {
                return NaN;
            }
        }
        for (var k = 0; k < numbers.length; k++) {
            if (day === undefined && month !== undefined && numbers[k] <= 31)
                day = numbers[k];
            else if (year === undefined) year = numbers[k];
            else return NaN;
        }
        if (month === undefined || day === undefined || year === undefined) return NaN;
        if (year < 100 && !bc) year += 1900;
        if (bc) year = 1 - year;
        if (hour === undefined) hour = 0;
        if (pm && hour < 12) hour += 12;
        if (am && hour === 12) hour = 0;
        var date = new NativeDate(0);
        if (utc) {
            Reflect.apply(NativeDate.prototype.setUTCFullYear, date, [year, month, day]);
            Reflect.apply(NativeDate.prototype.setUTCHours, date, [hour, minute, second, 0]);
            return date.getTime() - offset * 60000;
        }
        date = new NativeDate(2000, 0, 1);
        Reflect.apply(NativeDate.prototype.setFullYear, date, [year, month, day]);
        Reflect.apply(NativeDate.prototype.setHours, date, [hour, minute, second, 0]);
        return date.getTime();
    }
    function parseDate(text) {
        var t = Reflect.apply(nativeDateParse, NativeDate, [text]);
        return t === t || typeof text !== "string" ? t : jscriptDate(text);
    }
    Object.defineProperty(NativeDate, "parse",
                          { value: function parse(text) { return parseDate(String(text)); },
                            writable: true, configurable: true });
    var JScriptDate = function Date(year, month, day, hours, minutes, seconds, ms) {
        if (!new.target) return Reflect.apply(NativeDate, undefined, []);
        if (arguments.length === 1 && typeof year === "string")
            return Reflect.construct(NativeDate, [parseDate(year)], new.target);
        return Reflect.construct(NativeDate, arguments, new.target);
    };
    JScriptDate.prototype = NativeDate.prototype;
    Object.defineProperty(NativeDate.prototype, "constructor",
                          { value: JScriptDate, writable: true, configurable: true });
    Object.setPrototypeOf(JScriptDate, NativeDate);
    global.Date = JScriptDate;

    // toLocaleString calls toString with no arguments (the engine passed its own on).
    replace(Object.prototype, "toLocaleString", function () {
        return function () {
            if (this === null || this === undefined)
                throw jscriptError(TypeError, 5007, "Object expected");
            return Object(this).toString();
        };
    });

    // The lengths JScript gives some built-ins (what a script reads of them, no more).
    [[global.String.prototype, { indexOf: 2, lastIndexOf: 2, search: 0, slice: 0, split: 2 }],
     [global, { Object: 0, Enumerator: 7 }]].forEach(function (row) {
        keys(row[1]).forEach(function (name) {
            Object.defineProperty(row[0][name], "length", { value: row[1][name], configurable: true });
        });
    });

    // getYear: the years 1900 to 1999 as two digits, the others in full.
    replace(global.Date.prototype, "getYear", function (native) {
        return function () {
            var year = Reflect.apply(global.Date.prototype.getFullYear, this, [undefined]);
            return year >= 1900 && year < 2000 ? year - 1900 : year;
        };
    });
})
)JS");
    return text;
}

} // namespace quillora::js
