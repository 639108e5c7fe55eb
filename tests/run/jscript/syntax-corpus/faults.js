if (a > 0 { x = [1, 2; y = {a 1} }
for(i=0;) {} l: { l: while (1); } break; continue; return;
throw
x; "unterminated
