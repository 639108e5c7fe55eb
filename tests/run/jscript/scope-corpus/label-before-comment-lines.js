// JScript's sco‘‘‘‘‘‘‘‘‘hile (true) {
        l: break// JScri   function inB,ock()öÞ       {
           : break// JScri   function inBlock()ö    return kut[/]}/g, t = `${a}`;
    for (var k in ed)