# Shared by the spine scenarios (tests/e2e/spine_*.sh), sourced after lib/lib.sh and e2e_begin:
# the update pages that let start-up go on, and looking at the main window from outside.
# Without a window manager Wine's X window of a top-level window is its client area, so client
# coordinates are offsets from the X window's position.

SPINE_MAIN_TITLE="  Vantrel"
SPINE_MESSAGE_TITLE="信息："

# The update check finds the program's own version "1.0" and lets start-up go on.
spine_serve_current_version() {
  e2e_http_start update
  e2e_http_route /vtrq.txt --body "vtrq1.0[http://127.0.0.1:$E2E_HTTP_PORT/v2.txt]"
  e2e_http_route /v2.txt --body "vantrelver[1.0]vantreldl[http://127.0.0.1:$E2E_HTTP_PORT/dl]"
}

spine_main_id() { e2e_find_window "$SPINE_MAIN_TITLE" | head -n1; }

spine_main_visible() {
  local id
  id=$(spine_main_id)
  [ -n "$id" ] && e2e_window_visible "$id"
}

spine_main_hidden() { ! spine_main_visible; }

# Waits up to $1 seconds for the main window to be visible; prints its id.
spine_wait_main_visible() {
  e2e_wait_for "$1" spine_main_visible || return 1
  spine_main_id
}

spine_message_box_visible() { e2e_title_visible "$SPINE_MESSAGE_TITLE"; }

spine_no_message_box() { ! spine_message_box_visible; }

# Dismisses message box $1 with Enter (its OK button has the focus).
spine_dismiss() { xdotool key --window "$1" Return; }

# Screen position of client point ($2, $3) of window $1: sets SPINE_X and SPINE_Y.
spine_client_to_screen() {
  local X Y WIDTH HEIGHT SCREEN WINDOW
  eval "$(xdotool getwindowgeometry --shell "$1")"
  SPINE_X=$((X + $2))
  SPINE_Y=$((Y + $3))
}

# True when the main window's client pixel ($1, $2) is white on screen.
spine_pixel_white() {
  spine_client_to_screen "$(spine_main_id)" "$1" "$2"
  local colour
  colour=$(import -window root -crop "1x1+$SPINE_X+$SPINE_Y" -depth 8 txt:- 2>/dev/null |
           tail -n1)
  case $colour in *"#FFFFFF"*) return 0 ;; *) return 1 ;; esac
}

# Clicks into the setup panel's address box (编辑框4, client centre 148, 76) of window $1.
spine_focus_address_box() {
  xdotool windowfocus "$1" 2>/dev/null
  sleep 0.3
  spine_client_to_screen "$1" 148 76
  xdotool mousemove "$SPINE_X" "$SPINE_Y" click 1
  sleep 0.3
}

# Types text $2 into the address box of window $1 and presses Enter.
spine_type_address() {
  spine_focus_address_box "$1"
  xdotool type --delay 40 "$2"
  xdotool key Return
}

spine_press_enter() {
  spine_focus_address_box "$1"
  xdotool key Return
}
