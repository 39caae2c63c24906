# Homebrew formula: builds korvaster from a release's source archive with CMake.
class Korvaster < Formula
  desc "Gives the views of Xcode Interface Builder files accessibility identifiers"
  homepage "https://github.com/OWNER/korvaster"
  # No release exists yet: the release workflow (.github/workflows/release.yml) replaces
  # RELEASE_VERSION and RELEASE_SHA256 with the tag's version and its source archive's checksum,
  # and attaches the filled-in formula to the release. As it stands here it cannot be installed.
  url "https://github.com/OWNER/korvaster/releases/download/vRELEASE_VERSION/korvaster-RELEASE_VERSION.tar.gz"
  sha256 "RELEASE_SHA256"
  license "MIT"

  depends_on "cmake" => :build
  depends_on "pkgconf" => :build
  depends_on "libplist"
  depends_on "yaml-cpp"

  uses_from_macos "expat"

  def install
    # Warnings stay warnings here: a user's compiler may be newer than the one the project's CI uses.
    system "cmake", "-S", ".", "-B", "build",
           "-DKORVASTER_BUILD_TESTS=OFF", "-DKORVASTER_WERROR=OFF", *std_cmake_args
    system "cmake", "--build", "build"
    # Puts the binary in bin, the man page in share/man/man1 and the bash, zsh and fish
    # completions under share, where Homebrew links them.
    system "cmake", "--install", "build"
  end

  test do
    assert_equal "korvaster — #{version}", shell_output("#{bin}/korvaster --version").strip

    (testpath/"App/App/Main.storyboard").write <<~XML
      <?xml version="1.0" encoding="UTF-8"?>
      <document type="com.apple.InterfaceBuilder3.CocoaTouch.Storyboard.XIB" version="3.0">
          <scenes>
              <scene sceneID="s1-aa-bbb">
                  <objects>
                      <viewController id="vc1-aa-bbb" sceneMemberID="viewController">
                          <view key="view" contentMode="scaleToFill" id="v1A-bc-def">
                              <subviews>
                                  <label contentMode="left" text="Hello" id="Lb1-cd-efg">
                                      <accessibility key="accessibilityConfiguration" identifier="greeting"/>
                                  </label>
                                  <button contentMode="scaleToFill" id="Bt1-de-fgh"/>
                              </subviews>
                          </view>
                      </viewController>
                  </objects>
              </scene>
          </scenes>
      </document>
    XML
    # check exits 1 while a view lacks an identifier, and changes nothing.
    output = shell_output("#{bin}/korvaster check --path #{testpath}/App", 1)
    assert_match "button 'Bt1-de-fgh' has no accessibility identifier", output
    assert_match "Checked 1 Interface Builder file", output
    refute_match "Lb1-cd-efg", output
  end
end
