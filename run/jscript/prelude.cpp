// The script side of the JScript host objects (see jscriptengine.h).

#include <QString>

namespace quillora::js {

const QString &preludeScript()
{
    static const QString text = QStringLiteral(R"JS(
// Host objects of the JScript host, defined once per engine. Called with the global object
// and the ActiveX bridge; returns the proxy maker for bridge handles and the one for host
// QObjects.
(function (global, bridge, hostInfo, errorNumber) {
    "use strict";
    // the built-ins as they are now: a script may assign its own Array or Object later
    var Array = global.Array, Object = global.Object, String = global.String,
        Reflect = global.Reflect, Proxy = global.Proxy, TypeError = global.TypeError,
        RegExp = global.RegExp;
    function args(list) { return Array.prototype.slice.call(list); }

    // An automation object: members by name in any case, methods callable, properties
    // readable and assignable, the default member reached by calling the object itself.
    function wrap(handle) {
        var target = function () {};
        return new Proxy(target, {
            get: function (t, name) {
                if (typeof name !== "string") return undefined;
                if (name === "__handle") return handle;
                if (name === "toString" || name === "valueOf")
                    return function () { return "[object " + bridge.typeName(handle) + "]"; };
                var kind = bridge.kind(handle, name);
                if (kind === 1) return bridge.get(handle, name);
                if (kind === 2)
                    return function () { return bridge.call(handle, name, args(arguments)); };
                return undefined;
            },
            set: function (t, name, value) {
                bridge.put(handle, String(name), value);
                return true;
            },
            has: function (t, name) { return typeof name === "string" && bridge.kind(handle, name) > 0; },
            apply: function (t, self, list) { return bridge.call(handle, "", args(list)); }
        });
    }

    // Reads and writes of lines for a host that hands them out in blocks (readLines,
    // writeLines): Line(n) reads from a block fetched by one call, Line(n, text) collects
    // the new line (and puts it into the block). The collected lines are written by one
    // call once there are a block's worth, before the next block is fetched, before any
    // other member is used and when the script's code returns (flushLines). Anything but
    // a line number with an optional one-line text goes to the host's own Line.
    var lineBuffers = [];
    function lineBuffer(t) {
        var BLOCK = 1024;
        var count = -1, first = 0, block = [], indexes = [], texts = [];
        function lineCount() {
            if (count < 0) count = t.LineCount;
            return count;
        }
        function writeOut() {
            // in the order written: the last text of a line counts; forgotten only once
            // written, so that a stop in between leaves them for the next flush
            t.writeLines(indexes, texts);
            indexes = [];
            texts = [];
        }
        function flush() {
            if (indexes.length) writeOut();
            count = -1;
            block = [];
        }
        // No `arguments` here: the engine makes every call of a function that uses them
        // several times slower. A text left out or undefined reads, as the host's Line does;
        // Line() and Line(undefined) both reach the host's Line() and its error.
        function line(n, text, extra) {
            var index = n - 1;
            if (typeof n === "number" && index === (index | 0) && index >= 0 &&
                index < lineCount() && extra === undefined) {
                var inBlock = index >= first && index < first + block.length;
                if (text === undefined) {
                    if (!inBlock) {
                        if (indexes.length) writeOut();
                        block = t.readLines(index, BLOCK);
                        first = index;
                    }
                    return block[index - first];
                }
                if (typeof text === "string" && text.indexOf("\n") < 0 &&
                    text.indexOf("\r") < 0) {
                    if (inBlock) block[index - first] = text;
                    indexes.push(index);
                    texts.push(text);
                    if (indexes.length >= BLOCK) writeOut();
                    return undefined;
                }
            }
            flush();
            if (extra !== undefined) return t.Line(n, text, extra);
            if (text !== undefined) return t.Line(n, text);
            return n === undefined ? t.Line() : t.Line(n);
        }
        var buffer = { line: line, lineCount: lineCount, flush: flush };
        lineBuffers.push(buffer);
        return buffer;
    }
    function flushLines() {
        for (var i = 0; i < lineBuffers.length; i++) lineBuffers[i].flush();
    }

    // A host QObject: members found without regard to case; methods that take a list
    // receive all their arguments; objects it hands out are wrapped the same way.
    function wrapHost(object) {
        var info = hostInfo(object);
        var known = Object.create(null); // a name as written -> the member's name
        function member(name) {
            if (typeof name !== "string") return undefined;
            var real = known[name];
            if (real === undefined) real = known[name] = info.names[name.toLowerCase()];
            return real;
        }
        var t = object, methods = Object.create(null);
        var lines = info.lineBlocks ? lineBuffer(object) : null;
        function settle() {
            if (lines) lines.flush();
        }
        // (made outside the traps: a function that makes functions costs more per call)
        function caller(real, v) {
            if (info.lists.indexOf(real) >= 0)
                return function () {
                    settle();
                    return t[real](args(arguments));
                };
            return function () {
                settle();
                return Reflect.apply(v, t, arguments);
            };
        }
        // a function target, so that the object can be called for its default member
        // (WScript.Arguments(0)); every member access goes to the object itself
        var handler = {
            get: function (target, name) {
                var real = member(name);
                if (lines) {
                    if (real === "Line") return lines.line;
                    if (real === "LineCount") return lines.lineCount();
                    lines.flush();
                }
                if (real === undefined) return t[name];
                // one caller per method, made once: a macro's loop reaches the same
                // members a million times
                var made = methods[real];
                if (made) return made;
                var v = t[real];
                if (info.lists.indexOf(real) >= 0 || typeof v === "function")
                    return (methods[real] = caller(real, v));
                if (v !== null && typeof v === "object" && hostInfo(v).isHost) return wrapHost(v);
                return v;
            },
            set: function (target, name, value) {
                var real = member(name);
                settle();
                t[real === undefined ? name : real] = value;
                return true;
            },
            apply: function (target, self, list) {
                if (!info.defaultMember) throw new TypeError("Function expected");
                settle();
                return t[info.defaultMember].apply(t, list);
            }
        };
        var proxy = new Proxy(function () {}, handler);
        if (!lines) return proxy;
        // Line and LineCount as the object's own members, the rest through the proxy
        // behind it: a line loop then pays no trap per call. Still a function, as the
        // proxy is.
        var direct = (...list) => handler.apply(null, null, list);
        delete direct.name;
        delete direct.length;
        Object.defineProperty(direct, "Line", { value: lines.line });
        Object.defineProperty(direct, "LineCount", {
            get: lines.lineCount,
            set: function (value) { handler.set(null, "LineCount", value); }
        });
        Object.setPrototypeOf(direct, proxy);
        return direct;
    }

    // Every error answers to description, as JScript's do. (Error(number, description)
    // stays the standard Error(message): a constructor of our own would give every error
    // the line of that constructor instead of the line that made it.)
    var NativeError = global.Error;
    Object.defineProperty(NativeError.prototype, "description", {
        configurable: true,
        get: function () { return this.message; },
        set: function (v) {
            Object.defineProperty(this, "description",
                                  { value: v, writable: true, configurable: true, enumerable: true });
        }
    });

    // The engine underneath crashes when a built-in method is reached through call or
    // apply with no argument at all (Object.prototype.toString.call()): such calls pass
    // an explicit undefined. An error a built-in throws here is placed by the engine on
    // the script's own line (the first frame of a script in its stack).
    var nativeCall = Function.prototype.call, nativeApply = Function.prototype.apply;
    var noArguments = [undefined];
    // On anything but a function they raise JScript's "Function expected" (5002).
    Function.prototype.call = function call(thisArg) {
        if (typeof this !== "function") throw jscriptError(TypeError, 5002, "Function expected");
        return Reflect.apply(nativeCall, this, arguments.length ? arguments : noArguments);
    };
    Function.prototype.apply = function apply(thisArg, list) {
        if (typeof this !== "function") throw jscriptError(TypeError, 5002, "Function expected");
        return Reflect.apply(nativeApply, this, arguments.length ? arguments : noArguments);
    };

    // What older scripts still call: the HTML methods of strings ("a".bold() is
    // "<B>a</B>"), sort(null) as a plain sort (more than one argument is JScript's
    // "JScript object expected"), and CollectGarbage.
    var markup = { anchor: ["A", "NAME"], big: ["BIG"], blink: ["BLINK"], bold: ["B"],
                   fixed: ["TT"], fontcolor: ["FONT", "COLOR"], fontsize: ["FONT", "SIZE"],
                   italics: ["I"], link: ["A", "HREF"], small: ["SMALL"],
                   strike: ["STRIKE"], sub: ["SUB"], sup: ["SUP"] };
    Object.keys(markup).forEach(function (name) {
        var tag = markup[name][0], attribute = markup[name][1];
        var method = attribute
            ? function (value) {
                return "<" + tag + " " + attribute + "=\"" + value + "\">" + String(this) +
                       "</" + tag + ">";
            }
            : function () { return "<" + tag + ">" + String(this) + "</" + tag + ">"; };
        if (!(name in String.prototype))
            Object.defineProperty(String.prototype, name,
                                  { value: method, writable: true, configurable: true });
    });
    var nativeSort = Array.prototype.sort;
    Object.defineProperty(Array.prototype, "sort", {
        value: function sort(compare) {
            if (arguments.length > 1)
                throw jscriptError(TypeError, 5014, "JScript object expected");
            return Reflect.apply(nativeSort, this, compare === null ? [] : arguments);
        },
        writable: true, configurable: true
    });
    global.CollectGarbage = function CollectGarbage() {};

    // ... and to number: JScript's for the errors the engine raises, 0 for a script's own
    // Error until it sets one.
    Object.defineProperty(NativeError.prototype, "number", {
        configurable: true,
        get: function () {
            return this.name === "Error" ? 0 : errorNumber(String(this.name), String(this.message));
        },
        set: function (v) {
            Object.defineProperty(this, "number",
                                  { value: v, writable: true, configurable: true, enumerable: true });
        }
    });

    // An error with JScript's number and text, thrown where the engine underneath would
    // only say "Type error".
    function jscriptError(Kind, code, text) {
        var e = new Kind(text);
        e.number = (0x800A0000 | code) | 0;
        return e;
    }

    // The methods of Date, Number, Boolean and RegExp called on a value of another kind
    // raise JScript's "Date object expected" (5006) and its kin.
    var tagOf = Object.prototype.toString;
    function guardMethods(proto, tag, code, text) {
        var epoch = tag === "[object Date]" ? new global.Date(0) : null;
        Object.getOwnPropertyNames(proto).forEach(function (name) {
            var d = Object.getOwnPropertyDescriptor(proto, name);
            if (name === "constructor" || name === "toJSON" || typeof d.value !== "function")
                return;
            var native = d.value, setter = tag === "[object Date]" && name.slice(0, 3) === "set";
            var guarded = function () {
                if (Reflect.apply(tagOf, this, []) !== tag) {
                    // Date.prototype reads as the date of time 0, as JScript's does
                    if (this === proto && epoch !== null && !setter)
                        return Reflect.apply(native, epoch, arguments);
                    throw jscriptError(TypeError, code, text);
                }
                if (setter && arguments.length === 0) // a Date's setters need their value
                    throw jscriptError(TypeError, 449, "Argument not optional");
                return Reflect.apply(native, this, arguments);
            };
            Object.defineProperty(guarded, "length", { value: native.length });
            Object.defineProperty(guarded, "name", { value: name });
            d.value = guarded;
            Object.defineProperty(proto, name, d);
        });
    }
    guardMethods(global.Date.prototype, "[object Date]", 5006, "Date object expected");
    guardMethods(global.Number.prototype, "[object Number]", 5001, "Number expected");
    guardMethods(global.Boolean.prototype, "[object Boolean]", 5010, "Boolean expected");
    guardMethods(RegExp.prototype, "[object RegExp]", 5016, "Regular Expression object expected");

    // A radix outside 2 to 36 is an invalid argument (5).
    var nativeNumberToString = global.Number.prototype.toString;
    Object.defineProperty(global.Number.prototype, "toString", {
        value: function toString(radix) {
            if (radix !== undefined && !(radix >= 2 && radix <= 36))
                throw jscriptError(TypeError, 5, "Invalid procedure call or argument");
            return Reflect.apply(nativeNumberToString, this, arguments);
        },
        writable: true, configurable: true
    });

    // JScript takes 0 to 20 fraction digits.
    var nativeToFixed = global.Number.prototype.toFixed, trunc = global.Math.trunc;
    Object.defineProperty(global.Number.prototype, "toFixed", {
        value: function toFixed(digits) {
            var n = digits === undefined ? 0 : trunc(+digits);
            if (n < 0 || n > 20)
                throw jscriptError(global.RangeError, 5026,
                                   "The number of fractional digits is out of range");
            return Reflect.apply(nativeToFixed, this, arguments);
        },
        writable: true, configurable: true
    });

    // ... and 1 to 21 digits of precision.
    var nativeToPrecision = global.Number.prototype.toPrecision;
    Object.defineProperty(global.Number.prototype, "toPrecision", {
        value: function toPrecision(precision) {
            var n = trunc(+precision);
            if (precision !== undefined && !(n >= 1 && n <= 21))
                throw jscriptError(global.RangeError, 5027, "The precision is out of range");
            return Reflect.apply(nativeToPrecision, this, arguments);
        },
        writable: true, configurable: true
    });

    // A malformed URI: 5024 when encoding, 5025 when decoding.
    [["encodeURI", 5024], ["encodeURIComponent", 5024], ["decodeURI", 5025],
     ["decodeURIComponent", 5025]].forEach(function (row) {
        var native = global[row[0]], code = row[1];
        var text = code === 5024 ? "The URI to be encoded contains an invalid character"
                                 : "The URI to be decoded is not a valid encoding";
        var guarded = function (uri) {
            if (arguments.length === 0) return "undefined"; // as the engine forgets to
            try {
                return Reflect.apply(native, undefined, arguments);
            } catch (e) {
                if (e instanceof global.URIError) throw jscriptError(global.URIError, code, text);
                throw e;
            }
        };
        Object.defineProperty(guarded, "length", { value: native.length });
        Object.defineProperty(guarded, "name", { value: row[0] });
        global[row[0]] = guarded;
    });

    // JScript's error kind for a bad regular expression.
    function RegExpError(message) {
        if (!(this instanceof RegExpError)) return new RegExpError(message);
        this.message = message === undefined ? "" : String(message);
        this.number = 0; // a script's own error, as with Error
    }
    RegExpError.prototype = Object.create(NativeError.prototype);
    Object.defineProperty(RegExpError.prototype, "constructor",
                          { value: RegExpError, writable: true, configurable: true });
    RegExpError.prototype.name = "RegExpError";
    global.RegExpError = RegExpError;

    // GetObject reaches running objects through monikers, which this host has none of.
    global.GetObject = function GetObject(pathName, className) {
        throw jscriptError(NativeError, 429, "Automation server can't create object");
    };

    global.ActiveXObject = function ActiveXObject(progId) {
        return bridge.create(String(progId));
    };

    // Methods that are no enumerable properties, as the built-ins' are.
    function methods(proto, table) {
        Object.keys(table).forEach(function (name) {
            Object.defineProperty(proto, name,
                                  { value: table[name], writable: true, configurable: true });
        });
    }

    global.Enumerator = function Enumerator(collection) {
        var items;
        if (collection === undefined || collection === null) items = [];
        else if (typeof collection === "function" && collection.__handle !== undefined)
            items = bridge.items(collection.__handle);
        else if (Array.isArray(collection)) items = collection.slice();
        else if (typeof collection.Count === "function" || typeof collection.count === "function") {
            var n = typeof collection.Count === "function" ? collection.Count() : collection.count();
            items = [];
            for (var i = 0; i < n; i++) items.push(collection.Item(i));
        } else if (typeof collection.length === "number") items = args(collection);
        else throw jscriptError(TypeError, 5015, "Enumerator object expected");
        this._items = items;
        this._index = 0;
    };
    // a method reached with another object as this raises JScript's 5015
    function enumerator(self) {
        if (!(self instanceof global.Enumerator) || !Array.isArray(self._items))
            throw jscriptError(TypeError, 5015, "Enumerator object expected");
        return self;
    }
    methods(global.Enumerator.prototype, {
        atEnd: function atEnd() {
            var e = enumerator(this);
            return e._index >= e._items.length;
        },
        moveNext: function moveNext() {
            var e = enumerator(this);
            if (e._index < e._items.length) e._index++;
        },
        moveFirst: function moveFirst() { enumerator(this)._index = 0; },
        item: function item() {
            var e = enumerator(this);
            return e._items[e._index];
        }
    });

    // The arrays automation objects hand out are script arrays already. Anything else
    // given to VBArray, or as this of its methods, raises JScript's 5013.
    global.VBArray = function VBArray(a) {
        if (!Array.isArray(a)) throw jscriptError(TypeError, 5013, "VBArray expected");
        if (!(this instanceof VBArray)) return new VBArray(a);
        this._items = a;
    };
    function items(self) {
        if (!(self instanceof global.VBArray) || !Array.isArray(self._items))
            throw jscriptError(TypeError, 5013, "VBArray expected");
        return self._items;
    }
    methods(global.VBArray.prototype, {
        toArray: function toArray() { return items(this).slice(); },
        lbound: function lbound() {
            items(this);
            return 0;
        },
        ubound: function ubound() { return items(this).length - 1; },
        getItem: function getItem(i) { return items(this)[i]; },
        dimensions: function dimensions() {
            items(this);
            return 1;
        }
    });

    global.ScriptEngine = function () { return "JScript"; };
    global.ScriptEngineMajorVersion = function () { return 5; };
    global.ScriptEngineMinorVersion = function () { return 8; };
    global.ScriptEngineBuildVersion = function () { return 0; };

    // Calls a procedure and reports how it ended: { ok, value } or { ok: false, error }.
    function invoke(fn, list) {
        try {
            return { ok: true, value: fn.apply(global, list) };
        } catch (e) {
            return { ok: false, error: e };
        }
    }
    return { wrap: wrap, wrapHost: wrapHost, invoke: invoke, flushLines: flushLines };
})
)JS");
    return text;
}

} // namespace quillora::js
