#!/bin/sh
# End-to-end scenarios of the main window as a user meets it: what it shows
# after its splitters are dragged and it is resized, what a narrow window
# keeps within reach, long table names, and text files in UTF-8:
# e2e_window.sh SCENARIO BINDIR.
set -eu
scenario=$1
. "$(dirname "$0")/e2e_common.sh"

# The screen rectangle of the main window's client area: its left and top
# from the table list's column, its right from the automatic-conversion button
# (4 pixels from the edge) and its bottom from the progress frame (14 above it).
client_right() { set -- $(control_rect CheckBox1); echo $(($1 + $3 + 4)); }
right_of() { set -- $(control_rect "$1"); echo $(($1 + $3)); }
# The main window as it stands after what was just done (only what is waiting
# to be painted is painted), compared with the same window painted whole.
# The caret that may blink at the start of the source box is left out: a strip
# at the box's left edge.
same_as_full_repaint() {
  what=$1
  set -- $(control_rect Memo1)
  caret_x=$1 caret_y=$2 caret_h=$4
  client paint
  set -- $(client rect main | tr -d '\r')
  caret="rectangle $((caret_x - $1)),$((caret_y - $2)) $((caret_x - $1 + 8)),$((caret_y - $2 + caret_h))"
  import -window root -crop "$3x$4+$1+$2" shot.png
  convert shot.png +repage -fill black -draw "$caret" moved.png
  client redraw
  import -window root -crop "$3x$4+$1+$2" shot.png
  convert shot.png +repage -fill black -draw "$caret" repainted.png
  differ=$(compare -metric AE moved.png repainted.png null: 2>&1 || true)
  if [ "$differ" != 0 ]; then
    cp moved.png "${TMPDIR:-/tmp}/velmar-window-$scenario-moved.png"
    cp repainted.png "${TMPDIR:-/tmp}/velmar-window-$scenario-repainted.png"
    fail "after $what the window differs from its full repaint in $differ pixels" \
      "(pictures in ${TMPDIR:-/tmp}/velmar-window-$scenario-*.png)"
  fi
  echo "ok: after $what the window is drawn as a full repaint draws it"
}
# drag SPLITTER DX DY: a real mouse drag of a splitter from its middle.
drag() {
  set -- $(control_rect "$1") "$2" "$3"
  x=$(($1 + $3 / 2)) y=$(($2 + $4 / 2))
  xdotool mousemove $x $y mousedown 1 mousemove $((x + $5 / 2)) $((y + $6 / 2)) \
    mousemove $((x + $5)) $((y + $6)) mouseup 1
  sleep 0.3
}
# Every command of the upper toolbar whole inside the window, "Выход" last.
toolbar_fits() {
  what=$1
  right=$(client_right)
  for button in btn_Velmar sSpeedButton2 sSpeedButton4 btn_About sSpeedButton9; do
    set -- $(control_rect $button)
    [ "$3" -eq 70 ] || fail "$what: the button $button is $3 pixels wide"
    [ $(($1 + $3)) -le "$right" ] || fail "$what: the button $button ends at $(($1 + $3)), the window at $right"
  done
  label5=$(right_of Label5)
  [ "$label5" -le "$right" ] || fail "$what: the information line ends at $label5, the window at $right"
  echo "ok: $what: the toolbar and the information line fit"
}

case "$scenario" in
repaint)
  mkdir -p "$app/Table"
  cp "$here/tables/"*.table "$app/Table/"
  start
  text in.txt 'Съешь же ещё этих мягких французских булок.\r\n'
  client set-memo1 in.txt
  client click btn_Velmar
  client wait-run
  drag VerticalSplitter -60 0
  same_as_full_repaint "dragging the table list's splitter to the left"
  drag VerticalSplitter 40 0
  same_as_full_repaint "dragging it to the right"
  drag HorizontalSplitter 0 40
  same_as_full_repaint "dragging the splitter between the boxes down"
  drag HorizontalSplitter 0 -60
  same_as_full_repaint "dragging it up"
  client resize 820 520 >/dev/null
  same_as_full_repaint "making the window larger"
  client resize 640 360 >/dev/null
  same_as_full_repaint "making it smaller"
  close_program
  ;;

narrow)
  mkdir -p "$app/Table"
  cp "$here/tables/"*.table "$app/Table/"
  # The longest description of the information line.
  printf '[Information]\r\nFrom=Русский\r\nTo=Латиница\r\nDescription=Транслитерация для загранпаспортов, банковских карт и железнодорожных билетов\r\n[Table]\r\nа=a\r\n' |
    iconv -f UTF-8 -t CP1251 > "$app/Table/long.table"
  start
  toolbar_fits "at the first start"
  expect "smallest window" "$(client resize 300 200 | tr -d '\r')" "size=600x340"
  toolbar_fits "in the smallest window"
  # The table list's splitter stops where the toolbar would no longer fit,
  # and comes straight back.
  drag VerticalSplitter 300 0
  toolbar_fits "with the table list widened as far as it goes"
  list=$(right_of ListBox1)
  drag VerticalSplitter -20 0
  expect "table list after dragging back by 20 pixels" "$(right_of ListBox1)" $((list - 20))
  # The table with the long description, in the smallest window.
  row=$(client info | tr -d '\r' | sed -n 's/^list\[\([0-9]*\)\]=Русский - Латиница$/\1/p')
  [ -n "$row" ] || fail "no row of the long table"
  client select "$row"
  client wait-run
  toolbar_fits "with a long table description"
  # A wide window with a wide table list, made narrow again.
  client resize 1000 500 >/dev/null
  drag VerticalSplitter 250 0
  client resize 600 340 >/dev/null
  toolbar_fits "after a wide table list in a wide window, made narrow"
  # "Выход", clicked with the mouse, still ends the program.
  click_control sSpeedButton9
  wait_exit "$last"
  expect "exit code after clicking Выход" "$exit_status" 0
  ;;

utf8-file)
  # Russian text in UTF-8 without a byte order mark, as most editors write it,
  # with a character Windows-1251 has no place for.
  printf 'Щука и ёж\nживут — в Подмосковье 中\n' > utf8.txt
  start
  click_control btn_Open
  file_dialog Open "$(winpath utf8.txt)"
  expect "source box after opening a UTF-8 file" "$(memo 1)" "$(printf 'Щука и ёж\r\nживут — в Подмосковье 中\r\n')"
  client wait-run
  case "$(memo 2)" in
  "Schuka i yezh"*"中"*) echo "ok: its conversion" ;;
  *) fail "its conversion: '$(memo 2)'" ;;
  esac
  # Saved back: UTF-8 again, without a mark it did not have, and without a
  # question, since nothing is lost.
  click_control btn_Save
  pick_menu_item 1
  file_dialog "Save As" "$(winpath saved.txt)"
  client no-message-box 2000
  printf 'Щука и ёж\r\nживут — в Подмосковье 中\r\n' > expected.txt
  cmp saved.txt expected.txt || fail "the UTF-8 file saved back differs: $(od -An -tx1 saved.txt | head -2)"
  echo "ok: a UTF-8 file is saved back in UTF-8 without a mark"

  # A Windows-1251 file stays Windows-1251 both ways.
  printf 'Щука и ёж\r\n' | iconv -f UTF-8 -t CP1251 > cp1251.txt
  click_control btn_Open
  file_dialog Open "$(winpath cp1251.txt)"
  expect "source box after opening a Windows-1251 file" "$(memo 1)" "$(printf 'Щука и ёж\r\n')"
  client wait-run
  click_control btn_Save
  pick_menu_item 1
  file_dialog "Save As" "$(winpath saved1251.txt)"
  client no-message-box 2000
  cmp saved1251.txt cp1251.txt || fail "the Windows-1251 file saved back differs"
  echo "ok: a Windows-1251 file is saved back as it was"
  close_program
  ;;

list-names)
  # A table whose names are far wider than the list; no scroll bar in a list
  # of four rows.
  mkdir -p "$app/Table"
  printf '[Information]\r\nFrom=Древнецерковнославянский\r\nTo=Латиница научной транслитерации\r\nDescription=Научная транслитерация, принятая в славистике\r\nFromIcon=20\r\nToIcon=247\r\n[Table]\r\nа=a\r\n' |
    iconv -f UTF-8 -t CP1251 > "$app/Table/long.table"
  start
  expect "rows" "$(value list.count)" 4
  set -- $(control_rect ListBox1)
  edge=$(($1 + $3 - 2))  # right edge of the rows (inside the list's 2-pixel border)
  top=$(($2 + 2))
  row_colours() {  # the colours of the row's last 4 pixels before its right edge, caption and description
    import -window root -crop "4x26+$((edge - 5))+$((top + $1 * 30 + 2))" -depth 8 txt:- |
      sed -n 's/.*\(#[0-9A-F]\{6\}\).*/\1/p' | sort -u | tr '\n' ' '
  }
  # Row 2 is the long table; its texts end with an ellipsis before the edge
  # instead of running into it; short rows show their whole texts.
  expect "the right edge of the long row" "$(row_colours 2)" "#F3F9FC "
  expect "the right edge of its reverse" "$(row_colours 3)" "#F3F9FC "
  # The whole names in a tip over the long row; none over a short one.
  xdotool mousemove $(($1 + 60)) $((top + 2 * 30 + 15))
  expect "tip over the long row" "$(client tooltip 5000 | tr -d '\r')" \
    "$(printf 'Древнецерковнославянский - Латиница научной транслитерации\nНаучная транслитерация, принятая в славистике')"
  xdotool mousemove $(($1 + 60)) $((top + 3 * 30 + 15))
  sleep 0.3
  expect "tip over its reverse" "$(client tooltip 5000 | tr -d '\r')" \
    "$(printf 'Латиница научной транслитерации - Древнецерковнославянский\nНаучная транслитерация, принятая в славистике')"
  xdotool mousemove $(($1 + 60)) $((top + 15))
  sleep 0.3
  expect "tip over a short row" "$(client tooltip 2000 | tr -d '\r')" ""
  close_program
  ;;

*)
  fail "unknown scenario"
  ;;
esac
